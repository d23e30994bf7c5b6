package drav.ios;

import drav.common.DravException;
import drav.common.Status;

/** A device operation that failed; the status says why. */
public class IoException extends DravException {
    private static final long serialVersionUID = 1L;

    public IoException(Status status) {
        super(status);
    }
}
