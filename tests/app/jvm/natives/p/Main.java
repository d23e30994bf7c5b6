package p;

/** Runs native code that only the class itself calls, without loading a library in sight. */
public class Main {
    private static native void poke();

    public static void main(String[] args) {
        System.out.println("natives");
        poke();
    }
}
