package vendor.ios;

import drav.common.Status;
import drav.common.StatusCode;
import drav.common.Timeout;
import drav.ios.IoConfiguration;
import drav.ios.IoException;
import drav.ios.IoHandle;
import drav.ios.IoService;

/** An I/O service over a device driver reached through native code. */
public class DeviceIoService implements IoService {
    static {
        // VIOLATION: a JNI-marked call (System.loadLibrary).
        System.loadLibrary("vendorio");
    }

    // VIOLATION: native methods, called below.
    private static native int nativeOpen(String device, int mode);

    private static native int nativeTransfer(int fd, byte[] buffer, int offset, int length, boolean write);

    private static native int nativeClose(int fd);

    @Override
    public Status configure(IoConfiguration defaults) {
        return Status.OK;
    }

    @Override
    public IoHandle open(IoConfiguration configuration) throws IoException {
        int fd = nativeOpen(configuration.getDevice(), configuration.getMode().ordinal());
        if (fd < 0) {
            throw new IoException(Status.of(StatusCode.NOT_AVAILABLE));
        }
        return new IoHandle(fd, configuration.getDevice(), configuration.getMode());
    }

    @Override
    public int read(IoHandle handle, byte[] buffer, int offset, int length, Timeout timeout) {
        return nativeTransfer(handle.getId(), buffer, offset, length, false);
    }

    @Override
    public int write(IoHandle handle, byte[] data, int offset, int length, Timeout timeout) {
        return nativeTransfer(handle.getId(), data, offset, length, true);
    }

    @Override
    public Status close(IoHandle handle) {
        return nativeClose(handle.getId()) == 0 ? Status.OK : Status.of(StatusCode.FAILED);
    }
}
