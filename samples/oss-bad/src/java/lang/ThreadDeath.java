package java.lang;

/** VIOLATION: the constructor is protected instead of public. */
public class ThreadDeath extends Error {
    private static final long serialVersionUID = 1L;

    protected ThreadDeath() {
    }
}
