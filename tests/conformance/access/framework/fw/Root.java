package fw;

public class Root {
    public void greet() {
    }
}
