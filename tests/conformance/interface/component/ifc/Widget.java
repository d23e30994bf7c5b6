package ifc;

// Matches the reference except: count (type, static), resize (only other overloads), paint
// (absent), save (no exceptions), stop (non-final, static). load lists its exceptions in the
// other order, which is no mismatch.
public class Widget implements Runnable {
    public static long count;
    public static final String NAME = "widget";

    public Widget() {
    }

    public void run() {
    }

    public void resize(long width) {
    }

    public void resize(String width) {
    }

    public void load() throws InterruptedException, java.io.IOException {
    }

    public void save() {
    }

    public static void stop() {
    }
}
