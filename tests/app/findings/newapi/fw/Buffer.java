package fw;

// The framework release the component was compiled against: reset() became public.
public abstract class Buffer {
    public Buffer flip() {
        return this;
    }

    public void reset() {
    }
}
