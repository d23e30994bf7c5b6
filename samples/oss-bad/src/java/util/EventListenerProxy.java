package java.util;

/** VIOLATION: getListener() returns Object, so its signature differs from the reference's. */
public abstract class EventListenerProxy<T extends EventListener> implements EventListener {
    private final T listener;

    public EventListenerProxy(T listener) {
        this.listener = listener;
    }

    public Object getListener() {
        return listener;
    }
}
