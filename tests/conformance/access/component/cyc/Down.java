package cyc;

public interface Down {
    Object TOKEN = new Object();

    void ping();
}
