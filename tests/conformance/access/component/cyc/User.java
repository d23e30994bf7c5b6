package cyc;

public class User {
    public int use(Left left, Up up) {
        left.work();
        up.ping();
        return Up.TOKEN == null ? 0 : left.shared;
    }
}
