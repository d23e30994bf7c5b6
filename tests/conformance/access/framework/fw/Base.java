package fw;

public class Base {
    protected void help() {
    }

    protected static void util() {
    }
}
