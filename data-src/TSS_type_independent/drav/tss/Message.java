package drav.tss;

import java.io.Serializable;
import java.util.Arrays;

/** An opaque, type-independent message: a type identifier and the payload bytes; immutable. */
public final class Message implements Serializable {
    private static final long serialVersionUID = 1L;

    private final long typeId;
    private final byte[] payload;

    public Message(long typeId, byte[] payload) {
        this.typeId = typeId;
        this.payload = payload.clone();
    }

    public long getTypeId() {
        return typeId;
    }

    public byte[] getPayload() {
        return payload.clone();
    }

    public int getLength() {
        return payload.length;
    }

    @Override
    public boolean equals(Object other) {
        if (!(other instanceof Message)) {
            return false;
        }
        Message message = (Message) other;
        return typeId == message.typeId && Arrays.equals(payload, message.payload);
    }

    @Override
    public int hashCode() {
        return Long.hashCode(typeId) * 31 + Arrays.hashCode(payload);
    }
}
