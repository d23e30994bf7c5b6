package vendor.tss;

import drav.common.Configuration;
import drav.common.Status;
import drav.common.StatusCode;
import drav.common.Timeout;
import drav.ios.IoHandle;
import drav.ios.IoService;
import drav.tss.ConnectionConfiguration;
import drav.tss.ConnectionHandle;
import drav.tss.Message;
import drav.tss.ReceiveCallback;
import drav.tss.TransportException;
import drav.tss.TransportService;
import drav.sample.tss.Position;
import drav.sample.tss.PositionListener;
import drav.sample.tss.PositionService;
import vendor.tss.internal.Buffers;
import vendor.tss.internal.Frame;

import java.util.ArrayDeque;

/** A single-queue transport that journals every message to an I/O device. */
public class QueueTransport implements TransportService, PositionService {
    private final ArrayDeque<Message> queue = new ArrayDeque<Message>();
    private IoService journal;
    private IoHandle journalHandle;

    /** VIOLATION: the IOS interface is no API a TSS may use. */
    public void attachJournal(IoService journal, IoHandle handle) {
        this.journal = journal;
        this.journalHandle = handle;
    }

    @Override
    public Status initialize(Configuration configuration) {
        return Status.OK;
    }

    @Override
    public ConnectionHandle createConnection(ConnectionConfiguration configuration) {
        return new ConnectionHandle(1, configuration.getName(), configuration.getDirection());
    }

    @Override
    public Status destroyConnection(ConnectionHandle connection) {
        return Status.OK;
    }

    @Override
    public Status send(ConnectionHandle connection, Message message, long timeoutMillis) {
        new Frame(message);
        byte[] payload = Buffers.copy(message.getPayload());
        if (journal != null) {
            try {
                journal.write(journalHandle, payload, 0, payload.length, Timeout.NONE);
            } catch (drav.common.DravException e) {
                return e.getStatus();
            }
        }
        queue.addLast(message);
        return Status.OK;
    }

    @Override
    public Message receive(ConnectionHandle connection, Timeout timeout) throws TransportException {
        Message message = queue.pollFirst();
        if (message == null) {
            throw new TransportException(Status.of(StatusCode.TIMEOUT));
        }
        return message;
    }

    @Override
    public Status registerCallback(ConnectionHandle connection, ReceiveCallback callback) {
        return Status.of(StatusCode.NOT_AVAILABLE);
    }

    @Override
    public Status unregisterCallback(ConnectionHandle connection) {
        return Status.of(StatusCode.NO_ACTION);
    }

    @Override
    public Status publish(Position position) {
        return Status.of(StatusCode.NOT_AVAILABLE);
    }

    @Override
    public Status subscribe(PositionListener listener) {
        return Status.of(StatusCode.NOT_AVAILABLE);
    }
}
