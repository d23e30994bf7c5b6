package cyc;

// Combined with the other release's Left, which extends Right, this closes a superclass cycle.
public class Right extends Left {
}
