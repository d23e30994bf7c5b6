package p;

public abstract class Shape implements Comparable<Shape>, java.io.Serializable {
    private static final long serialVersionUID = 1L;
    protected int sides;
    String label;

    public abstract double area();

    public int compareTo(Shape other) {
        return Double.compare(area(), other.area());
    }

    public Shape copy() {
        return this;
    }

    void describe() throws java.io.IOException, IllegalStateException {
    }

    static native void nativeHook();
}
