package p;

/**
 * The copy of p.Main that must not pass unseen: it declares a native method and loads a library,
 * both for a person to inspect. It prints its name only when run.
 */
public class Main {
    static native void poke();

    public static void main(String[] args) {
        System.out.println("evil");
        if (args.length > 99) {
            System.loadLibrary("poke");
            poke();
        }
    }
}
