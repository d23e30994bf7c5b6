package app;

public class Polymorphic {
    public Object run(java.lang.invoke.MethodHandle handle) throws Throwable {
        return handle.invoke("x");
    }
}
