package dup;

public final class Twice {
    public void second() {
    }
}
