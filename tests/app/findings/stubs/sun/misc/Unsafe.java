package sun.misc;

// The JDK-internal class that libraries reach for; no allowed API holds it.
public final class Unsafe {
    public static Unsafe getUnsafe() {
        return null;
    }

    public int addressSize() {
        return 8;
    }
}
