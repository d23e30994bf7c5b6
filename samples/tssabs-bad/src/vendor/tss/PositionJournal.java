package vendor.tss;

import drav.common.Timeout;
import drav.ios.IoException;
import drav.ios.IoHandle;
import drav.ios.IoService;
import drav.sample.tss.Position;
import drav.sample.tss.PositionListener;

/** Writes every position it hears of to a device. */
public class PositionJournal implements PositionListener {
    // VIOLATION: the IOS interface is no API a TSS may use, with type abstraction or without.
    private final IoService io;
    private final IoHandle device;
    private final PositionCodec codec = new PositionCodec();

    public PositionJournal(IoService io, IoHandle device) {
        this.io = io;
        this.device = device;
    }

    @Override
    public void positionChanged(Position position) {
        byte[] record = codec.encode(position);
        try {
            io.write(device, record, 0, record.length, Timeout.NONE);
        } catch (IoException e) {
            // A lost journal entry does not stop the platform.
        }
    }
}
