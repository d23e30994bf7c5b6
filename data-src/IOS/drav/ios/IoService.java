package drav.ios;

import drav.common.Status;
import drav.common.Timeout;

/** The I/O service: opens devices, moves bytes in and out of them, and closes them. */
public interface IoService {
    /** Reads the service-wide settings; must come before the first open. */
    Status configure(IoConfiguration defaults);

    IoHandle open(IoConfiguration configuration) throws IoException;

    /** Reads up to length bytes into buffer at offset; returns the number read, -1 at the end. */
    int read(IoHandle handle, byte[] buffer, int offset, int length, Timeout timeout)
            throws IoException;

    /** Writes length bytes of data from offset; returns the number written. */
    int write(IoHandle handle, byte[] data, int offset, int length, Timeout timeout)
            throws IoException;

    Status close(IoHandle handle);
}
