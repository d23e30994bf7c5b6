package vendor.ios;

import drav.common.Status;
import drav.common.StatusCode;
import drav.common.Timeout;
import drav.ios.IoConfiguration;
import drav.ios.IoException;
import drav.ios.IoHandle;
import drav.ios.IoService;

import java.util.HashMap;
import java.util.Map;

/** An I/O service whose devices are byte buffers in memory: what is written can be read back. */
public class MemoryIoService implements IoService {
    private final Map<String, byte[]> devices = new HashMap<String, byte[]>();
    private final Map<IoHandle, Integer> readPositions = new HashMap<IoHandle, Integer>();
    private int nextId = 1;

    @Override
    public Status configure(IoConfiguration defaults) {
        return devices.isEmpty() ? Status.OK : Status.of(StatusCode.NO_ACTION);
    }

    @Override
    public IoHandle open(IoConfiguration configuration) throws IoException {
        String device = configuration.getDevice();
        if (device == null) {
            throw new IoException(new Status(StatusCode.INVALID_CONFIGURATION, "device"));
        }
        if (!devices.containsKey(device)) {
            devices.put(device, new byte[0]);
        }
        IoHandle handle = new IoHandle(nextId++, device, configuration.getMode());
        readPositions.put(handle, Integer.valueOf(0));
        return handle;
    }

    @Override
    public int read(IoHandle handle, byte[] buffer, int offset, int length, Timeout timeout)
            throws IoException {
        byte[] data = contents(handle);
        int position = readPositions.get(handle).intValue();
        if (position >= data.length) {
            return -1;
        }
        int count = Math.min(length, data.length - position);
        System.arraycopy(data, position, buffer, offset, count);
        readPositions.put(handle, Integer.valueOf(position + count));
        return count;
    }

    @Override
    public int write(IoHandle handle, byte[] data, int offset, int length, Timeout timeout)
            throws IoException {
        byte[] old = contents(handle);
        byte[] grown = new byte[old.length + length];
        System.arraycopy(old, 0, grown, 0, old.length);
        System.arraycopy(data, offset, grown, old.length, length);
        devices.put(handle.getDevice(), grown);
        return length;
    }

    @Override
    public Status close(IoHandle handle) {
        return readPositions.remove(handle) == null ? Status.of(StatusCode.INVALID_HANDLE) : Status.OK;
    }

    private byte[] contents(IoHandle handle) throws IoException {
        if (!readPositions.containsKey(handle)) {
            throw new IoException(Status.of(StatusCode.INVALID_HANDLE));
        }
        return devices.get(handle.getDevice());
    }
}
