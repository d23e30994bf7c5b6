package fw;

// The framework release the component was compiled against: flip() returns Bytes.
public class Bytes extends Buffer {
    @Override
    public Bytes flip() {
        return this;
    }
}
