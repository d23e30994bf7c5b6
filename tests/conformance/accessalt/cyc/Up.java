package cyc;

public interface Up {
}
