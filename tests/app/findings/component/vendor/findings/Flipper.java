package vendor.findings;

import fw.Bytes;

// Compiled against the newer framework, whose Bytes.flip() returns Bytes.
public class Flipper {
    Object flip(Bytes bytes) {
        return bytes.flip();
    }
}
