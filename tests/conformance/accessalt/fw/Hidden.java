package fw;

// A later release of the framework that no longer exports Hidden.
class Hidden {
    public static void touch() {
    }
}
