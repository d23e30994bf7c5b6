package vendor.pss.plugin;

/** The plugin interface the PSS sample uses without shipping it: handed in as its framework. */
public interface Plugin {
    void recorded(byte[] payload);
}
