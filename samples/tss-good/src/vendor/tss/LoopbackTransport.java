package vendor.tss;

import drav.common.Configuration;
import drav.common.Status;
import drav.common.StatusCode;
import drav.common.Timeout;
import drav.tss.ConnectionConfiguration;
import drav.tss.ConnectionHandle;
import drav.tss.Message;
import drav.tss.ReceiveCallback;
import drav.tss.TransportException;
import drav.tss.TransportService;

import java.util.ArrayDeque;
import java.util.HashMap;
import java.util.Map;

/** A transport service that delivers every message to its own connection, in order. */
public class LoopbackTransport implements TransportService {
    private final Map<ConnectionHandle, ArrayDeque<Message>> queues =
            new HashMap<ConnectionHandle, ArrayDeque<Message>>();
    private final Map<ConnectionHandle, ReceiveCallback> callbacks =
            new HashMap<ConnectionHandle, ReceiveCallback>();
    private long nextId = 1;

    @Override
    public Status initialize(Configuration configuration) {
        return Status.OK;
    }

    @Override
    public ConnectionHandle createConnection(ConnectionConfiguration configuration)
            throws TransportException {
        if (configuration.getName() == null) {
            throw new TransportException(new Status(StatusCode.INVALID_CONFIGURATION, "name"));
        }
        ConnectionHandle handle =
                new ConnectionHandle(nextId++, configuration.getName(), configuration.getDirection());
        queues.put(handle, new ArrayDeque<Message>());
        return handle;
    }

    @Override
    public Status destroyConnection(ConnectionHandle connection) {
        callbacks.remove(connection);
        return queues.remove(connection) == null ? Status.of(StatusCode.INVALID_HANDLE) : Status.OK;
    }

    @Override
    public Status send(ConnectionHandle connection, Message message, Timeout timeout) {
        ArrayDeque<Message> queue = queues.get(connection);
        if (queue == null) {
            return Status.of(StatusCode.INVALID_HANDLE);
        }
        ReceiveCallback callback = callbacks.get(connection);
        if (callback != null) {
            callback.onReceive(connection, message);
        } else {
            queue.addLast(message);
        }
        return Status.OK;
    }

    @Override
    public Message receive(ConnectionHandle connection, Timeout timeout) throws TransportException {
        ArrayDeque<Message> queue = queues.get(connection);
        if (queue == null) {
            throw new TransportException(Status.of(StatusCode.INVALID_HANDLE));
        }
        Message message = queue.pollFirst();
        if (message == null) {
            throw new TransportException(Status.of(StatusCode.TIMEOUT));
        }
        return message;
    }

    @Override
    public Status registerCallback(ConnectionHandle connection, ReceiveCallback callback) {
        if (!queues.containsKey(connection)) {
            return Status.of(StatusCode.INVALID_HANDLE);
        }
        callbacks.put(connection, callback);
        return Status.OK;
    }

    @Override
    public Status unregisterCallback(ConnectionHandle connection) {
        return callbacks.remove(connection) == null ? Status.of(StatusCode.NO_ACTION) : Status.OK;
    }
}
