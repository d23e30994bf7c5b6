package vendor.tss;

import drav.common.Status;
import drav.common.Timeout;
import drav.sample.tss.Position;
import drav.sample.tss.PositionListener;
import drav.sample.tss.PositionService;
import drav.tss.ConnectionHandle;
import drav.tss.Message;
import drav.tss.TransportException;
import drav.tss.TransportService;
import drav.tss.abstraction.AbstractTypedTransport;
import drav.tss.abstraction.TypedCallback;

/** The platform's typed interface built on the type abstraction layer. */
public class TypedPositionService extends AbstractTypedTransport<Position> implements PositionService {
    public TypedPositionService(TransportService service, ConnectionHandle connection) {
        super(service, connection, new PositionCodec());
    }

    @Override
    public Status publish(Position position) {
        return send(position, Timeout.NONE);
    }

    @Override
    public Status subscribe(final PositionListener listener) {
        return register(new TypedCallback<Position>() {
            @Override
            public void onValue(Position value) {
                listener.positionChanged(value);
            }
        });
    }

    @Override
    protected void deliver(TypedCallback<Position> callback, Message message) {
        try {
            callback.onValue(decode(message));
        } catch (TransportException e) {
            // A report of another type on this connection is not ours to deliver.
        }
    }
}
