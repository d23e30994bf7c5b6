package drav.ios;

import drav.common.Configuration;
import drav.common.DravException;
import drav.common.Status;
import drav.common.StatusCode;
import drav.common.Timeout;

/** How one device is opened: its name, mode, buffer size and default timeout. */
public class IoConfiguration extends Configuration {
    public static final String DEVICE = "device";
    public static final String BUFFER_SIZE = "bufferSize";
    public static final int DEFAULT_BUFFER_SIZE = 4096;

    private IoMode mode = IoMode.READ_WRITE;
    private Timeout timeout = Timeout.INFINITE;

    public IoConfiguration(String device) {
        set(DEVICE, device);
    }

    public String getDevice() {
        return get(DEVICE);
    }

    public IoMode getMode() {
        return mode;
    }

    public void setMode(IoMode mode) {
        this.mode = mode;
    }

    public Timeout getTimeout() {
        return timeout;
    }

    public void setTimeout(Timeout timeout) {
        this.timeout = timeout;
    }

    public int getBufferSize() throws DravException {
        return getInt(BUFFER_SIZE, DEFAULT_BUFFER_SIZE);
    }

    @Override
    protected Status validate() {
        String device = getDevice();
        if (device == null || device.isEmpty() || mode == null || timeout == null) {
            return new Status(StatusCode.INVALID_CONFIGURATION, DEVICE);
        }
        return Status.OK;
    }
}
