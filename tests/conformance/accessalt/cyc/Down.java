package cyc;

// Combined with the other release's Up, which extends Down, this closes an interface cycle.
public interface Down extends Up {
}
