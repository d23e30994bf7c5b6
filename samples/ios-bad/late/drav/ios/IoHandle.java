package drav.ios;

/** VIOLATION: getId() is protected instead of public (compiled after the users of the public one). */
public final class IoHandle {
    private final int id;
    private final String device;
    private final IoMode mode;

    public IoHandle(int id, String device, IoMode mode) {
        this.id = id;
        this.device = device;
        this.mode = mode;
    }

    protected int getId() {
        return id;
    }

    public String getDevice() {
        return device;
    }

    public IoMode getMode() {
        return mode;
    }

    @Override
    public boolean equals(Object other) {
        return other instanceof IoHandle && ((IoHandle) other).id == id;
    }

    @Override
    public int hashCode() {
        return id;
    }
}
