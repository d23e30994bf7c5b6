package drav.tss;

import drav.common.DravException;
import drav.common.Status;

/** A transport operation that failed; the status says why. */
public class TransportException extends DravException {
    private static final long serialVersionUID = 1L;

    public TransportException(Status status) {
        super(status);
    }
}
