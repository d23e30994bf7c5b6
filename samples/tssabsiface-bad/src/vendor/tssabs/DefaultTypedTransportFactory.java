package vendor.tssabs;

import drav.tss.ConnectionConfiguration;
import drav.tss.ConnectionHandle;
import drav.tss.Message;
import drav.tss.TransportException;
import drav.tss.TransportService;
import drav.tss.abstraction.AbstractTypedTransport;
import drav.tss.abstraction.Codec;
import drav.tss.abstraction.TypedCallback;
import drav.tss.abstraction.TypedTransport;
import drav.tss.abstraction.TypedTransportFactory;

/** The type abstraction layer: typed transports over connections of one transport service. */
public class DefaultTypedTransportFactory implements TypedTransportFactory {
    private final TransportService service;

    public DefaultTypedTransportFactory(TransportService service) {
        this.service = service;
    }

    @Override
    public <T> TypedTransport<T> create(ConnectionConfiguration configuration, Codec<T> codec)
            throws TransportException {
        return new Transport<T>(service, service.createConnection(configuration), codec);
    }

    /** Drops messages of another type instead of failing the whole callback chain. */
    public static class Transport<T> extends AbstractTypedTransport<T> {
        public Transport(TransportService service, ConnectionHandle connection, Codec<T> codec) {
            super(service, connection, codec);
        }

        @Override
        protected void deliver(TypedCallback<T> callback, Message message) {
            try {
                callback.onValue(decode(message));
            } catch (TransportException e) {
                // Not of this transport's type.
            }
        }
    }
}
