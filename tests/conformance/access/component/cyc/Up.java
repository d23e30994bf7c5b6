package cyc;

public interface Up extends Down {
}
