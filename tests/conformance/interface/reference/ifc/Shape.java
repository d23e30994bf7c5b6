package ifc;

public abstract class Shape extends Base implements Runnable, Comparable<Shape> {
}
