package drav.sample.tss;

/** VIOLATION: not final. */
public class Position {
    public static final long TYPE_ID = 0x504f53L;

    private final double latitude;
    private final double longitude;
    private final long timestamp;

    public Position(double latitude, double longitude, long timestamp) {
        this.latitude = latitude;
        this.longitude = longitude;
        this.timestamp = timestamp;
    }

    public double getLatitude() {
        return latitude;
    }

    public double getLongitude() {
        return longitude;
    }

    public long getTimestamp() {
        return timestamp;
    }
}
