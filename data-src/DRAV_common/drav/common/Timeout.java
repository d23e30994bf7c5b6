package drav.common;

/** How long an operation may block; immutable. Negative durations are not representable. */
public final class Timeout implements Comparable<Timeout> {
    /** Do not block at all. */
    public static final Timeout NONE = new Timeout(0L);
    /** Block until the operation completes. */
    public static final Timeout INFINITE = new Timeout(Long.MAX_VALUE);

    private final long nanoseconds;

    private Timeout(long nanoseconds) {
        this.nanoseconds = nanoseconds;
    }

    public static Timeout ofNanoseconds(long nanoseconds) {
        if (nanoseconds < 0) {
            throw new IllegalArgumentException("negative timeout");
        }
        return nanoseconds == 0 ? NONE : new Timeout(nanoseconds);
    }

    public static Timeout ofMilliseconds(long milliseconds) {
        if (milliseconds > Long.MAX_VALUE / 1000000L) {
            return INFINITE;
        }
        return ofNanoseconds(milliseconds * 1000000L);
    }

    public long toNanoseconds() {
        return nanoseconds;
    }

    public boolean isInfinite() {
        return nanoseconds == Long.MAX_VALUE;
    }

    @Override
    public int compareTo(Timeout other) {
        return Long.compare(nanoseconds, other.nanoseconds);
    }

    @Override
    public boolean equals(Object other) {
        return other instanceof Timeout && ((Timeout) other).nanoseconds == nanoseconds;
    }

    @Override
    public int hashCode() {
        return Long.hashCode(nanoseconds);
    }
}
