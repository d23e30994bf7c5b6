package vendor.findings;

import sun.misc.Unsafe;

// Fourteen classes that use the one class no allowed API holds: one finding, fourteen classes.
public class UnsafeUsers {
    public static class User01 {
        int size() {
            return Unsafe.getUnsafe().addressSize();
        }
    }

    public static class User02 {
        int size() {
            return Unsafe.getUnsafe().addressSize();
        }
    }

    public static class User03 {
        int size() {
            return Unsafe.getUnsafe().addressSize();
        }
    }

    public static class User04 {
        int size() {
            return Unsafe.getUnsafe().addressSize();
        }
    }

    public static class User05 {
        int size() {
            return Unsafe.getUnsafe().addressSize();
        }
    }

    public static class User06 {
        int size() {
            return Unsafe.getUnsafe().addressSize();
        }
    }

    public static class User07 {
        int size() {
            return Unsafe.getUnsafe().addressSize();
        }
    }

    public static class User08 {
        int size() {
            return Unsafe.getUnsafe().addressSize();
        }
    }

    public static class User09 {
        int size() {
            return Unsafe.getUnsafe().addressSize();
        }
    }

    public static class User10 {
        int size() {
            return Unsafe.getUnsafe().addressSize();
        }
    }

    public static class User11 {
        int size() {
            return Unsafe.getUnsafe().addressSize();
        }
    }

    public static class User12 {
        int size() {
            return Unsafe.getUnsafe().addressSize();
        }
    }

    public static class User13 {
        int size() {
            return Unsafe.getUnsafe().addressSize();
        }
    }

    public static class User14 {
        int size() {
            return Unsafe.getUnsafe().addressSize();
        }
    }
}
