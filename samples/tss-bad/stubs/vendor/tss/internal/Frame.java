package vendor.tss.internal;

import drav.tss.Message;

/** What QueueTransport is compiled against; late/ ships a package-private Frame instead. */
public class Frame {
    public Frame(Message message) {
    }
}
