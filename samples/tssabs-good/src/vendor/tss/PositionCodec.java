package vendor.tss;

import drav.common.Status;
import drav.common.StatusCode;
import drav.sample.tss.Position;
import drav.tss.TransportException;
import drav.tss.abstraction.Codec;

import java.nio.ByteBuffer;

/** Positions as 24 bytes: latitude, longitude, timestamp. */
public class PositionCodec implements Codec<Position> {
    private static final int SIZE = 24;

    @Override
    public long getTypeId() {
        return Position.TYPE_ID;
    }

    @Override
    public byte[] encode(Position value) {
        ByteBuffer buffer = ByteBuffer.allocate(SIZE);
        buffer.putDouble(value.getLatitude());
        buffer.putDouble(value.getLongitude());
        buffer.putLong(value.getTimestamp());
        return buffer.array();
    }

    @Override
    public Position decode(byte[] payload) throws TransportException {
        if (payload.length != SIZE) {
            throw new TransportException(new Status(StatusCode.INVALID_PARAMETER, "length"));
        }
        ByteBuffer buffer = ByteBuffer.wrap(payload);
        return new Position(buffer.getDouble(), buffer.getDouble(), buffer.getLong());
    }
}
