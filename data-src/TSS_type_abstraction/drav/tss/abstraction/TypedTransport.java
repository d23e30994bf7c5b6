package drav.tss.abstraction;

import drav.common.Status;
import drav.common.Timeout;
import drav.tss.TransportException;

/** A connection of the transport service that carries values of one type. */
public interface TypedTransport<T> {
    Status send(T value, Timeout timeout);

    T receive(Timeout timeout) throws TransportException;

    Status register(TypedCallback<T> callback);

    Status unregister();
}
