package vendor.ios;

/** The device driver's entry points, implemented in C. */
public final class NativeDriver {
    private NativeDriver() {
    }

    // VIOLATION: native methods, called by DeviceIoService.
    public static native int open(String device, int mode);

    public static native int transfer(int fd, byte[] buffer, int offset, int length, boolean write);

    public static native int close(int fd);
}
