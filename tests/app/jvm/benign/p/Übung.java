package p;

/** A class whose name is not ASCII; it names itself, so a reader that garbles names misses it. */
public class Übung {
    public static void main(String[] args) {
        System.out.println(new Übung().getClass().getSimpleName());
    }
}
