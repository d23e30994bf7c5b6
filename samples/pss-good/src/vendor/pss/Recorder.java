package vendor.pss;

import drav.common.DravException;
import drav.common.Status;
import drav.common.Timeout;
import drav.ios.IoHandle;
import drav.ios.IoService;
import drav.tss.ConnectionHandle;
import drav.tss.Message;
import drav.tss.ReceiveCallback;
import drav.tss.TransportService;

/** A platform-specific service that records every message of a connection on a device. */
public class Recorder implements ReceiveCallback {
    private final IoService io;
    private final IoHandle device;
    private int recorded;

    public Recorder(TransportService transport, ConnectionHandle connection, IoService io,
            IoHandle device) {
        this.io = io;
        this.device = device;
        transport.registerCallback(connection, this);
    }

    @Override
    public void onReceive(ConnectionHandle connection, Message message) {
        byte[] payload = message.getPayload();
        try {
            io.write(device, payload, 0, payload.length, Timeout.ofMilliseconds(100));
            recorded++;
        } catch (DravException e) {
            Status status = e.getStatus();
            System.err.println("recording failed: " + status);
        }
    }

    public int getRecorded() {
        return recorded;
    }
}
