package vendor.pcs;

import drav.common.Configuration;
import drav.common.DravException;
import drav.common.Status;
import drav.common.StatusCode;
import drav.common.Timeout;
import drav.ios.IoConfiguration;
import drav.ios.IoHandle;
import drav.ios.IoMode;
import drav.ios.IoService;
import drav.tss.ConnectionHandle;
import drav.tss.Message;
import drav.tss.TransportService;

/** A portable component: samples a sensor device and publishes each reading. */
public class Monitor {
    private final TransportService transport;
    private final ConnectionHandle connection;
    private final IoService io;
    private final int period;

    public Monitor(TransportService transport, ConnectionHandle connection, IoService io,
            Configuration configuration) throws DravException {
        this.transport = transport;
        this.connection = connection;
        this.io = io;
        this.period = configuration.getInt("period", 1000);
    }

    public Status sample(String device) {
        IoConfiguration configuration = new IoConfiguration(device);
        configuration.setMode(IoMode.READ);
        try {
            IoHandle handle = io.open(configuration);
            byte[] reading = new byte[16];
            int count = io.read(handle, reading, 0, reading.length, Timeout.ofMilliseconds(period));
            io.close(handle);
            if (count <= 0) {
                return Status.of(StatusCode.NO_ACTION);
            }
            return transport.send(connection, new Message(1L, reading), Timeout.NONE);
        } catch (DravException e) {
            return e.getStatus();
        }
    }
}
