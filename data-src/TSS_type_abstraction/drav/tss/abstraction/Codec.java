package drav.tss.abstraction;

import drav.tss.TransportException;

/** Turns values of one type into message payloads and back. */
public interface Codec<T> {
    /** The message type identifier under which values of T travel. */
    long getTypeId();

    byte[] encode(T value);

    T decode(byte[] payload) throws TransportException;
}
