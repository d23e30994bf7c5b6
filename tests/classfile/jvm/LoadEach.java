import java.nio.file.Files;
import java.nio.file.Paths;

/**
 * Loads each class file named on the command line as an application class and links it, each
 * in a loader of its own, and prints one line per file: "loads", or "refuses" with the error.
 */
public final class LoadEach extends ClassLoader {
    private LoadEach() {
        super(LoadEach.class.getClassLoader());
    }

    public static void main(String[] args) {
        for (String path : args) {
            try {
                byte[] bytes = Files.readAllBytes(Paths.get(path));
                Class<?> loaded = new LoadEach().defineClass(null, bytes, 0, bytes.length);
                // Initialising links the class, which verifies it.
                Class.forName(loaded.getName(), true, loaded.getClassLoader());
                System.out.println("loads");
            } catch (Throwable refused) {
                System.out.println("refuses " + refused);
            }
        }
    }
}
