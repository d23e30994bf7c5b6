package drav.tss.abstraction;

/** Called with every value that arrives on a typed transport. */
public interface TypedCallback<T> {
    void onValue(T value);
}
