package fw;

// The framework release the component is tested with.
public abstract class Buffer {
    public Buffer flip() {
        return this;
    }

    protected void reset() {
    }
}
