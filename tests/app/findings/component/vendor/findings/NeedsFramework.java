package vendor.findings;

// Uses five classes of a framework that the run is not given.
public class NeedsFramework {
    Object[] all() {
        return new Object[] { new org.absent.Gone1(), new org.absent.Gone2(), new org.absent.Gone3(),
                              new org.absent.Gone4(), new org.absent.Gone5() };
    }
}
