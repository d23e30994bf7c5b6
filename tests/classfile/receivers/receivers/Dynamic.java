package receivers;

/** invokedynamic, which only class files with stack map frames may hold. */
public class Dynamic {
    void lambda(Flows.Sub s) {
        Runnable r = () -> {};
        r.run();
        s.m();
    }
}
