package drav.tss.abstraction;

import drav.common.Status;
import drav.common.StatusCode;
import drav.common.Timeout;
import drav.tss.ConnectionHandle;
import drav.tss.Message;
import drav.tss.ReceiveCallback;
import drav.tss.TransportException;
import drav.tss.TransportService;

/** VIOLATION: not abstract, codec is private, and receive declares no TransportException. */
public class AbstractTypedTransport<T> implements TypedTransport<T> {
    protected final TransportService service;
    protected final ConnectionHandle connection;
    private final Codec<T> codec;

    protected AbstractTypedTransport(TransportService service, ConnectionHandle connection,
            Codec<T> codec) {
        this.service = service;
        this.connection = connection;
        this.codec = codec;
    }

    @Override
    public Status send(T value, Timeout timeout) {
        return service.send(connection, new Message(codec.getTypeId(), codec.encode(value)), timeout);
    }

    @Override
    public T receive(Timeout timeout) {
        try {
            return decode(service.receive(connection, timeout));
        } catch (TransportException e) {
            return null;
        }
    }

    @Override
    public Status register(final TypedCallback<T> callback) {
        return service.registerCallback(connection, new ReceiveCallback() {
            @Override
            public void onReceive(ConnectionHandle from, Message message) {
                deliver(callback, message);
            }
        });
    }

    @Override
    public Status unregister() {
        return service.unregisterCallback(connection);
    }

    /** Decodes a message of this transport's type; anything else is an error. */
    protected T decode(Message message) throws TransportException {
        if (message.getTypeId() != codec.getTypeId()) {
            throw new TransportException(new Status(StatusCode.INVALID_PARAMETER, "type"));
        }
        return codec.decode(message.getPayload());
    }

    /** Hands a received message to a callback; a subclass decides what to do with bad ones. */
    protected void deliver(TypedCallback<T> callback, Message message) {
    }
}
