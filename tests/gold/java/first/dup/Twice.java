package dup;

public class Twice {
    public void first() {
    }
}
