package drav.sample.tss;

/** Receives the position reports of a PositionService. */
public interface PositionListener {
    void positionChanged(Position position);
}
