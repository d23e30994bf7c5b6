package drav.common;

/** A status code with an optional human-readable detail; immutable. */
public final class Status {
    /** The one shared success value. */
    public static final Status OK = new Status(StatusCode.OK, "");

    private final StatusCode code;
    private final String detail;

    public Status(StatusCode code, String detail) {
        if (code == null) {
            throw new IllegalArgumentException("code");
        }
        this.code = code;
        this.detail = detail == null ? "" : detail;
    }

    public static Status of(StatusCode code) {
        return code == StatusCode.OK ? OK : new Status(code, "");
    }

    public StatusCode getCode() {
        return code;
    }

    public String getDetail() {
        return detail;
    }

    public boolean isSuccess() {
        return code.isSuccess();
    }

    @Override
    public boolean equals(Object other) {
        if (!(other instanceof Status)) {
            return false;
        }
        Status status = (Status) other;
        return code == status.code && detail.equals(status.detail);
    }

    @Override
    public int hashCode() {
        return code.hashCode() * 31 + detail.hashCode();
    }

    @Override
    public String toString() {
        return detail.isEmpty() ? code.name() : code.name() + ": " + detail;
    }
}
