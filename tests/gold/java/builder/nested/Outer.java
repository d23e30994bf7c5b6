package nested;

public class Outer {
    public static class Inner {
    }

    public Runnable task() {
        return new Runnable() {
            public void run() {
            }
        };
    }
}
