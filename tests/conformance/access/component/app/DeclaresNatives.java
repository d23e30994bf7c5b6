package app;

/** Natives that only the class itself calls, or nobody. */
public class DeclaresNatives {
    private static native int checksum(byte[] data);

    public native void unused();

    public int check(byte[] data) {
        return checksum(data);
    }
}
