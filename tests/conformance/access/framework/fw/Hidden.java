package fw;

public class Hidden {
    public static void touch() {
    }
}
