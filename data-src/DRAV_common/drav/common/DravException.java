package drav.common;

/** Thrown by service operations that cannot return a status; carries one. */
public class DravException extends Exception {
    private static final long serialVersionUID = 1L;

    private final Status status;

    public DravException(Status status) {
        super(status.toString());
        this.status = status;
    }

    public DravException(Status status, Throwable cause) {
        super(status.toString(), cause);
        this.status = status;
    }

    public Status getStatus() {
        return status;
    }
}
