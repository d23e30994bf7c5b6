package jvmcases;

import java.io.IOException;
import java.io.PrintStream;
import java.lang.reflect.InvocationTargetException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.Arrays;
import java.util.List;

/**
 * The JVM's side of the differential access test: runs every case in a class loader of its own,
 * the user's classes as compiled against the first library version and everything else of the case
 * from the second, and prints one line per case, "NAME runs" or "NAME error CLASS: MESSAGE" for the
 * LinkageError that stopped it ("NAME broken ..." for any other throwable: the case itself is at
 * fault). Classes of a custom loader are verified as those of any application are.
 *
 * Arguments: the case list (one case a line: its name and the user's top-level classes, the one
 * whose run() starts the case first), the folder of the user's classes and the folder of the second
 * library version.
 */
public final class CaseRunner {
    private CaseRunner() {}

    private static final class CaseLoader extends ClassLoader {
        private final Path userClasses;
        private final Path libraryClasses;
        private final List<String> userNames;

        CaseLoader(Path userClasses, Path libraryClasses, List<String> userNames) {
            // Not the application loader: a class the second version dropped must stay missing.
            super(platformLoader());
            this.userClasses = userClasses;
            this.libraryClasses = libraryClasses;
            this.userNames = userNames;
        }

        @Override
        protected Class<?> loadClass(String name, boolean resolve) throws ClassNotFoundException {
            synchronized (getClassLoadingLock(name)) {
                Class<?> found = findLoadedClass(name);
                if (found == null) {
                    Path file = (isUserClass(name) ? userClasses : libraryClasses)
                            .resolve(name.replace('.', '/') + ".class");
                    found = Files.isRegularFile(file) ? define(name, file) : super.loadClass(name, false);
                }
                if (resolve)
                    resolveClass(found);
                return found;
            }
        }

        private boolean isUserClass(String name) {
            for (String user : userNames) {
                if (name.equals(user) || name.startsWith(user + "$"))
                    return true;
            }
            return false;
        }

        private Class<?> define(String name, Path file) throws ClassNotFoundException {
            try {
                byte[] bytes = Files.readAllBytes(file);
                return defineClass(name, bytes, 0, bytes.length);
            } catch (IOException e) {
                throw new ClassNotFoundException(name, e);
            }
        }
    }

    // Built for Java 8, where the platform loader does not exist yet, but run on a later JVM.
    private static ClassLoader platformLoader() {
        try {
            return (ClassLoader) ClassLoader.class.getMethod("getPlatformClassLoader").invoke(null);
        } catch (ReflectiveOperationException e) {
            throw new IllegalStateException(e);
        }
    }

    public static void main(String[] args) throws IOException {
        PrintStream out = new PrintStream(System.out, true, "UTF-8");
        Path userClasses = Paths.get(args[1]);
        Path libraryClasses = Paths.get(args[2]);
        for (String line : Files.readAllLines(Paths.get(args[0]), StandardCharsets.UTF_8)) {
            String[] words = line.trim().split(" +");
            if (words.length < 2)
                continue;
            List<String> users = Arrays.asList(words).subList(1, words.length);
            out.println(words[0] + " " + outcome(users.get(0), new CaseLoader(userClasses, libraryClasses, users)));
        }
    }

    private static String outcome(String entry, ClassLoader loader) {
        try {
            Class.forName(entry, true, loader).getMethod("run").invoke(null);
            return "runs";
        } catch (InvocationTargetException e) {
            return thrown(e.getCause());
        } catch (Throwable e) {
            return thrown(e);
        }
    }

    // The first line of the message, without the loaders' identities, which change from run to run.
    private static String thrown(Throwable e) {
        String message = String.valueOf(e.getMessage()).split("\n", 2)[0]
                .replaceAll(" \\([^()]* unnamed module of loader [^()]*\\)$", "");
        return (e instanceof LinkageError ? "error " : "broken ") + e.getClass().getName() + ": " + message;
    }
}
