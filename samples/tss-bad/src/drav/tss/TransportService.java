package drav.tss;

import drav.common.Configuration;
import drav.common.Status;
import drav.common.Timeout;

/** VIOLATION: send takes the timeout as milliseconds (long) instead of a Timeout. */
public interface TransportService {
    Status initialize(Configuration configuration);

    ConnectionHandle createConnection(ConnectionConfiguration configuration)
            throws TransportException;

    Status destroyConnection(ConnectionHandle connection);

    Status send(ConnectionHandle connection, Message message, long timeoutMillis);

    /** Waits for the next message; throws with status TIMEOUT when none came in time. */
    Message receive(ConnectionHandle connection, Timeout timeout) throws TransportException;

    Status registerCallback(ConnectionHandle connection, ReceiveCallback callback);

    Status unregisterCallback(ConnectionHandle connection);
}
