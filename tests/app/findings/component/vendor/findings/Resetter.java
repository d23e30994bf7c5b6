package vendor.findings;

import fw.Buffer;

// Compiled against the newer framework, in which reset() is public.
public class Resetter {
    void reset(Buffer buffer) {
        buffer.reset();
    }
}
