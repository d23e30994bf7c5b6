package shapes;

import java.io.IOException;
import java.io.Serializable;

public abstract class Shape implements Comparable<Shape>, Serializable {
    public static final int SIDES_UNKNOWN = -1;
    protected static String[] names;
    protected final double[][] points;
    public transient Shape parent;

    protected Shape(double[][] points) {
        this.points = points;
    }

    public abstract double area();

    public final int compareTo(Shape other) {
        return Double.compare(area(), other.area());
    }

    public static Shape load(String path) throws IOException, IllegalStateException {
        throw new IOException(path);
    }

    protected synchronized void move(int dx, long dy, char c, boolean b, byte x, short s, float f)
            throws CloneNotSupportedException {
    }
}
