package fw;

// The framework release the component is tested with: flip() is only Buffer's.
public class Bytes extends Buffer {
}
