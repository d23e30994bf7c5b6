package shapes;

public interface Drawable extends Comparable<Drawable> {
    String STYLE = "solid";

    void draw(java.util.List<? extends Shape> shapes);
}
