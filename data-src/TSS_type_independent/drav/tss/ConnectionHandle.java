package drav.tss;

/** Names one connection of the transport service; valid until it is destroyed. */
public final class ConnectionHandle {
    private final long id;
    private final String name;
    private final Direction direction;

    public ConnectionHandle(long id, String name, Direction direction) {
        this.id = id;
        this.name = name;
        this.direction = direction;
    }

    public long getId() {
        return id;
    }

    public String getName() {
        return name;
    }

    public Direction getDirection() {
        return direction;
    }

    @Override
    public boolean equals(Object other) {
        return other instanceof ConnectionHandle && ((ConnectionHandle) other).id == id;
    }

    @Override
    public int hashCode() {
        return Long.hashCode(id);
    }
}
