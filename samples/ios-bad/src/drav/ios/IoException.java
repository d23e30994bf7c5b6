package drav.ios;

import drav.common.Status;

/** VIOLATION: the parent is java.lang.Exception instead of drav.common.DravException. */
public class IoException extends Exception {
    private static final long serialVersionUID = 1L;

    private final Status status;

    public IoException(Status status) {
        super(status.toString());
        this.status = status;
    }

    public Status getStatus() {
        return status;
    }
}
