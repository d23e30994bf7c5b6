package drav.ios;

/** The direction in which a device is opened. */
public enum IoMode {
    READ,
    WRITE,
    READ_WRITE;

    public boolean canRead() {
        return this != WRITE;
    }

    public boolean canWrite() {
        return this != READ;
    }
}
