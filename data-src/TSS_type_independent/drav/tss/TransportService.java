package drav.tss;

import drav.common.Configuration;
import drav.common.Status;
import drav.common.Timeout;

/** The type-independent transport service: connections that carry opaque messages. */
public interface TransportService {
    Status initialize(Configuration configuration);

    ConnectionHandle createConnection(ConnectionConfiguration configuration)
            throws TransportException;

    Status destroyConnection(ConnectionHandle connection);

    Status send(ConnectionHandle connection, Message message, Timeout timeout);

    /** Waits for the next message; throws with status TIMEOUT when none came in time. */
    Message receive(ConnectionHandle connection, Timeout timeout) throws TransportException;

    Status registerCallback(ConnectionHandle connection, ReceiveCallback callback);

    Status unregisterCallback(ConnectionHandle connection);
}
