package vendor.pss;

import drav.common.Status;
import drav.common.Timeout;
import drav.tss.ConnectionHandle;
import drav.tss.Message;
import drav.tss.ReceiveCallback;
import drav.tss.abstraction.TypedTransport;
import vendor.pss.plugin.Plugin;

import java.lang.invoke.MethodHandle;
import java.lang.invoke.MethodHandles;
import java.lang.invoke.MethodType;
import java.lang.reflect.Method;

/** Records messages through a plugin found at run time. */
public class Recorder implements ReceiveCallback {
    // VIOLATION: the TSS type abstraction layer is no API a PSS may use.
    private TypedTransport<byte[]> mirror;
    // VIOLATION: a class the component does not ship and no allowed API holds.
    private Plugin plugin;

    public void setMirror(TypedTransport<byte[]> mirror) {
        this.mirror = mirror;
    }

    @Override
    public void onReceive(ConnectionHandle connection, Message message) {
        byte[] payload = message.getPayload();
        if (plugin != null) {
            plugin.recorded(payload);
        }
        if (mirror != null) {
            Status status = mirror.send(payload, Timeout.NONE);
            System.err.println("mirrored: " + status);
        }
    }

    /** VIOLATION: a signature-polymorphic call (MethodHandle.invokeExact). */
    public int lengthOf(byte[] payload) throws Throwable {
        MethodHandle length = MethodHandles.lookup().findStatic(Recorder.class, "length",
                MethodType.methodType(int.class, byte[].class));
        return (int) length.invokeExact(payload);
    }

    /** VIOLATION (informational): reflection through java.lang.reflect.Method. */
    public Object callByName(String name) throws Exception {
        Method method = Recorder.class.getMethod(name);
        return method.invoke(this);
    }

    private static int length(byte[] payload) {
        return payload.length;
    }
}
