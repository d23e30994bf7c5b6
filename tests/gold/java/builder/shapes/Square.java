package shapes;

public final class Square extends Shape {
    public Square(double side) {
        super(new double[][] {{0, 0}, {side, side}});
    }

    public double area() {
        return points[1][0] * points[1][1];
    }
}
