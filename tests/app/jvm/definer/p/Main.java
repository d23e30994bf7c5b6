package p;

import java.io.ByteArrayOutputStream;
import java.io.IOException;
import java.io.InputStream;

/**
 * Runs code that no class file of its classpath holds: it defines a class from a resource and
 * runs that class's main.
 */
public class Main extends ClassLoader {
    public static void main(String[] args) throws Exception {
        Class<?> hidden = new Main().define(read("/hidden.bin"));
        hidden.getMethod("main", String[].class).invoke(null, (Object) args);
    }

    private static byte[] read(String resource) throws IOException {
        try (InputStream in = Main.class.getResourceAsStream(resource)) {
            ByteArrayOutputStream bytes = new ByteArrayOutputStream();
            byte[] buffer = new byte[4096];
            for (int n; (n = in.read(buffer)) > 0;) {
                bytes.write(buffer, 0, n);
            }
            return bytes.toByteArray();
        }
    }

    private Class<?> define(byte[] bytes) {
        return super.defineClass(null, bytes, 0, bytes.length);
    }
}
