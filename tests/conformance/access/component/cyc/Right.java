package cyc;

public class Right {
    public int shared;

    public void work() {
    }
}
