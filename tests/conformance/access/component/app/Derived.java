package app;

public class Derived extends fw.Base {
    public void run() {
        super.help();
        fw.Base.util();
    }

    public Object make() {
        return new ReadsFields();
    }
}
