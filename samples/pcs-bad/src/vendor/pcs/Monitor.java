package vendor.pcs;

import drav.common.Configuration;
import drav.common.Status;
import drav.common.StatusCode;

import java.lang.reflect.Field;

/** A portable component that reaches into the platform. */
public class Monitor {
    /** VIOLATION: a JNI-marked call (Runtime.load). */
    public void loadDriver(String path) {
        Runtime.getRuntime().load(path);
    }

    /** VIOLATION: calls the protected Configuration.validate() without being a subclass. */
    public boolean isUsable(Configuration configuration) {
        return configuration.validate().isSuccess();
    }

    /** VIOLATION (informational): reflection through java.lang.reflect.Field. */
    public Object peek(Object target, String name) throws Exception {
        Field field = target.getClass().getDeclaredField(name);
        field.setAccessible(true);
        return field.get(target);
    }

    public Status check(Configuration configuration) {
        return isUsable(configuration) ? Status.OK : Status.of(StatusCode.INVALID_CONFIGURATION);
    }
}
