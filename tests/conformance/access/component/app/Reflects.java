package app;

public class Reflects {
    public Object run(Object target) throws Exception {
        java.lang.reflect.Method method = target.getClass().getMethod("run");
        if (java.lang.reflect.Proxy.isProxyClass(target.getClass()))
            return method;
        return java.lang.reflect.Array.get(target, 0);
    }
}
