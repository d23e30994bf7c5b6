package ifc;

// Concrete, with the wrong parent, and only one of the two interfaces.
public class Shape implements Comparable<Shape> {
    public int compareTo(Shape other) {
        return 0;
    }
}
