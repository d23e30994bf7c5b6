package p;

/** Conforming code, built for a later Java release than 8. */
public class Main {
    public static void main(String[] args) {
        System.out.println("modern");
    }
}
