package drav.common;

/** Outcome of every service operation of the reference interfaces. */
public enum StatusCode {
    /** The operation completed. */
    OK,
    /** Nothing to do: the request was valid but had no effect. */
    NO_ACTION,
    /** The service or resource is not available now. */
    NOT_AVAILABLE,
    /** A parameter was out of range or null. */
    INVALID_PARAMETER,
    /** The configuration is inconsistent or incomplete. */
    INVALID_CONFIGURATION,
    /** The handle does not name an open connection. */
    INVALID_HANDLE,
    /** The operation did not complete within its timeout. */
    TIMEOUT,
    /** The operation failed for another reason. */
    FAILED;

    /** True for the two codes that mean the caller may go on. */
    public boolean isSuccess() {
        return this == OK || this == NO_ACTION;
    }
}
