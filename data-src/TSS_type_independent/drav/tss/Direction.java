package drav.tss;

/** Which way messages flow on a connection. */
public enum Direction {
    SOURCE,
    DESTINATION,
    BIDIRECTIONAL
}
