package fw;

// A later release of the framework: close() is no longer public, and the class uses System.
public class Natives {
    public native void open();

    native void close();

    public void tidy() {
        System.gc();
    }
}
