package app;

public class ReadsFields {
    public Object run(fw.Child child) {
        child.greet();
        Object mark = fw.Child.MARK;
        return mark == null ? fw.Child.X : mark;
    }
}
