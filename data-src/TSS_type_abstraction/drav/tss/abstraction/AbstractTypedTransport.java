package drav.tss.abstraction;

import drav.common.Status;
import drav.common.StatusCode;
import drav.common.Timeout;
import drav.tss.ConnectionHandle;
import drav.tss.Message;
import drav.tss.ReceiveCallback;
import drav.tss.TransportException;
import drav.tss.TransportService;

/** A typed transport over one connection of a type-independent transport service. */
public abstract class AbstractTypedTransport<T> implements TypedTransport<T> {
    protected final TransportService service;
    protected final ConnectionHandle connection;
    protected final Codec<T> codec;

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
    public T receive(Timeout timeout) throws TransportException {
        return decode(service.receive(connection, timeout));
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
    protected abstract void deliver(TypedCallback<T> callback, Message message);
}
