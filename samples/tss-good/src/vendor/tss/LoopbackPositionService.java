package vendor.tss;

import drav.common.Status;
import drav.sample.tss.Position;
import drav.sample.tss.PositionListener;
import drav.sample.tss.PositionService;

import java.util.ArrayList;
import java.util.List;

/** The platform's typed interface over the loopback transport: every listener gets every report. */
public class LoopbackPositionService implements PositionService {
    private final List<PositionListener> listeners = new ArrayList<PositionListener>();

    @Override
    public Status publish(Position position) {
        for (PositionListener listener : listeners) {
            listener.positionChanged(position);
        }
        return Status.OK;
    }

    @Override
    public Status subscribe(PositionListener listener) {
        listeners.add(listener);
        return Status.OK;
    }
}
