package drav.tss.abstraction;

import drav.common.Status;
import drav.common.Timeout;

/** VIOLATION: receive declares no TransportException. */
public interface TypedTransport<T> {
    Status send(T value, Timeout timeout);

    T receive(Timeout timeout);

    Status register(TypedCallback<T> callback);

    Status unregister();
}
