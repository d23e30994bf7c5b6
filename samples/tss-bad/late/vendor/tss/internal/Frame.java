package vendor.tss.internal;

import drav.tss.Message;

/** VIOLATION: package-private, yet used by vendor.tss.QueueTransport in another package. */
class Frame {
    final Message message;

    public Frame(Message message) {
        this.message = message;
    }
}
