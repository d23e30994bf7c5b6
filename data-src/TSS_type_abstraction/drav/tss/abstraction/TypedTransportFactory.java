package drav.tss.abstraction;

import drav.tss.ConnectionConfiguration;
import drav.tss.TransportException;

/** Creates typed transports; implemented by the type abstraction layer of a TSS. */
public interface TypedTransportFactory {
    <T> TypedTransport<T> create(ConnectionConfiguration configuration, Codec<T> codec)
            throws TransportException;
}
