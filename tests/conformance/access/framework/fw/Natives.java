package fw;

public class Natives {
    public native void open();

    public native void close();
}
