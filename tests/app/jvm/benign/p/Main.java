package p;

/** The copy of p.Main that a conforming component may hold: it prints its name and nothing more. */
public class Main {
    public static void main(String[] args) {
        System.out.println("benign");
    }
}
