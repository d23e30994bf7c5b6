import java.io.ByteArrayOutputStream;
import java.io.File;
import java.io.PrintStream;
import java.lang.reflect.InvocationTargetException;
import java.net.URL;
import java.net.URLClassLoader;

/**
 * Asks the JVM which class it runs. For each classpath and main class named on the command line
 * it runs the class's main method from a class loader of its own over that classpath, which reads
 * jars and directories as "java -cp" does, and prints one line: the classpath and the class, then
 * what main printed or what the JVM threw instead. One JVM answers many questions.
 */
public final class RunEach {
    public static void main(String[] args) throws Exception {
        PrintStream out = new PrintStream(System.out, true, "UTF-8");
        for (int i = 0; i + 1 < args.length; i += 2) {
            out.println(args[i] + " " + args[i + 1] + ": " + run(args[i], args[i + 1]));
        }
    }

    private static String run(String classpath, String mainClass) {
        PrintStream saved = System.out;
        ByteArrayOutputStream printed = new ByteArrayOutputStream();
        try (URLClassLoader loader = new URLClassLoader(urls(classpath), null)) {
            System.setOut(new PrintStream(printed, true, "UTF-8"));
            Class.forName(mainClass, true, loader)
                    .getMethod("main", String[].class)
                    .invoke(null, (Object) new String[0]);
            return "runs and prints " + printed.toString("UTF-8").trim();
        } catch (InvocationTargetException e) {
            return "throws " + e.getCause();
        } catch (Throwable e) {
            return "cannot run it: " + e;
        } finally {
            System.setOut(saved);
        }
    }

    private static URL[] urls(String classpath) throws Exception {
        String[] entries = classpath.split(":");
        URL[] urls = new URL[entries.length];
        for (int i = 0; i < entries.length; i++) {
            urls[i] = new File(entries[i]).toURI().toURL();
        }
        return urls;
    }
}
