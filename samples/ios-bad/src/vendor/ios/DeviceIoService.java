package vendor.ios;

import drav.common.Status;
import drav.common.StatusCode;
import drav.common.Timeout;
import drav.ios.IoConfiguration;
import drav.ios.IoException;
import drav.ios.IoHandle;
import drav.ios.IoService;

/** An I/O service over a device driver reached through native code (NativeDriver). */
public class DeviceIoService implements IoService {
    static {
        // VIOLATION: a JNI-marked call (System.loadLibrary).
        System.loadLibrary("vendorio");
    }

    @Override
    public Status configure(IoConfiguration defaults) {
        return Status.OK;
    }

    @Override
    public IoHandle open(IoConfiguration configuration) throws IoException {
        int fd = NativeDriver.open(configuration.getDevice(), configuration.getMode().ordinal());
        if (fd < 0) {
            throw new IoException(Status.of(StatusCode.NOT_AVAILABLE));
        }
        return new IoHandle(fd, configuration.getDevice(), configuration.getMode());
    }

    @Override
    public int read(IoHandle handle, byte[] buffer, int offset, int length, Timeout timeout) {
        return NativeDriver.transfer(handle.getId(), buffer, offset, length, false);
    }

    @Override
    public int write(IoHandle handle, byte[] data, int offset, int length, Timeout timeout) {
        return NativeDriver.transfer(handle.getId(), data, offset, length, true);
    }

    @Override
    public Status close(IoHandle handle) {
        return NativeDriver.close(handle.getId()) == 0 ? Status.OK : Status.of(StatusCode.FAILED);
    }
}
