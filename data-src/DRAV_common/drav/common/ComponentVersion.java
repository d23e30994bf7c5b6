package drav.common;

/** The version of a reference interface a component was built against. */
public final class ComponentVersion {
    /** The version of the reference interfaces shipped with this tester. */
    public static final ComponentVersion CURRENT = new ComponentVersion(1, 0);

    public final int major;
    public final int minor;

    public ComponentVersion(int major, int minor) {
        this.major = major;
        this.minor = minor;
    }

    /** A component of this version can be used where the given version is required. */
    public boolean isCompatibleWith(ComponentVersion required) {
        return major == required.major && minor >= required.minor;
    }

    @Override
    public String toString() {
        return major + "." + minor;
    }
}
