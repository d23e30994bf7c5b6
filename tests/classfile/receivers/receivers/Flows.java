package receivers;

/** The objects that code uses members of, one way of reaching the member per method. */
public class Flows {
    public static class Base {
        public int f;
        public long wide;

        public Base() {}

        public void m() {}

        public void take(long a, double b, Object c) {}
    }

    public static class Sub extends Base {
        public Sub() {
            super();
        }
    }

    public static class Other extends Base {}

    public static class T0 extends Base {}
    public static class T1 extends Base {}
    public static class T2 extends Base {}
    public static class T3 extends Base {}
    public static class T4 extends Base {}
    public static class T5 extends Base {}
    public static class T6 extends Base {}
    public static class T7 extends Base {}
    public static class T8 extends Base {}
    public static class T9 extends Base {}

    static boolean flag() {
        return System.nanoTime() != 0;
    }

    void parameter(Base b) {
        b.m();
    }

    void made() {
        new Sub().m();
    }

    void cast(Object o) {
        ((Sub) o).m();
    }

    void element(Sub[] subs, Base[][] grid) {
        subs[0].m();
        grid[0][0].m();
    }

    void nothing() {
        ((Base) null).m();
    }

    void joined() {
        Base b;
        if (flag())
            b = new Sub();
        else
            b = new Other();
        b.m();
    }

    void fields(Sub s, Other o) {
        s.f = o.f;
        s.wide = 1L;
        s.f++;
        o.wide += s.f;
    }

    void arguments(Sub s) {
        s.take(1L, 2.0, s);
    }

    void caught(Sub s) {
        Base b = s;
        try {
            b = new Other();
            flag();
        } catch (RuntimeException e) {
            b.m();
        }
    }

    void switched(int i, Sub s, Other o) {
        Base b = null;
        switch (i) {
        case 1:
            b = s;
            break;
        case 100:
            b = o;
            break;
        default:
            return;
        }
        b.m();
        switch (i) {
        case 1:
        case 2:
            s.m();
            break;
        default:
            o.m();
        }
    }

    void looped(Sub s, Other o) {
        Base b = s;
        for (int i = 0; i < 3; ++i) {
            b.m();
            b = o;
        }
    }

    void many(int i) {
        Base b;
        switch (i) {
        case 0: b = new T0(); break;
        case 1: b = new T1(); break;
        case 2: b = new T2(); break;
        case 3: b = new T3(); break;
        case 4: b = new T4(); break;
        case 5: b = new T5(); break;
        case 6: b = new T6(); break;
        case 7: b = new T7(); break;
        case 8: b = new T8(); break;
        default: b = new T9(); break;
        }
        b.m();
    }
}
