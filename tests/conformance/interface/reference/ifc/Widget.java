package ifc;

// The reference every member of the component's Widget is compared with.
public class Widget implements Runnable {
    public int count;
    public static final String NAME = "widget";

    public Widget() {
    }

    public void run() {
    }

    public void resize(int width) {
    }

    public void paint() {
    }

    public void load() throws java.io.IOException, InterruptedException {
    }

    public void save() throws java.io.IOException {
    }

    public final void stop() {
    }
}
