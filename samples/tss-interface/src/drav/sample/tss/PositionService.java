package drav.sample.tss;

import drav.common.Status;

/** The typed TSS interface of this sample platform: publishes and delivers positions. */
public interface PositionService {
    Status publish(Position position);

    Status subscribe(PositionListener listener);
}
