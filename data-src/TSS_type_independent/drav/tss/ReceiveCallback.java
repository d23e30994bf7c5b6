package drav.tss;

/** Called by the transport service when a message arrives on a connection. */
public interface ReceiveCallback {
    void onReceive(ConnectionHandle connection, Message message);
}
