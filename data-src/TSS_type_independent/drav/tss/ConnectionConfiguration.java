package drav.tss;

import drav.common.Configuration;

/** The settings of one connection: its name, direction and queue depth. */
public class ConnectionConfiguration extends Configuration {
    public static final String NAME = "name";
    public static final String QUEUE_DEPTH = "queueDepth";

    private final Direction direction;

    public ConnectionConfiguration(String name, Direction direction) {
        set(NAME, name);
        this.direction = direction;
    }

    public String getName() {
        return get(NAME);
    }

    public Direction getDirection() {
        return direction;
    }
}
