package vendor.pss.plugin;

/** What Recorder is compiled against; the component does not ship it. */
public interface Plugin {
    void recorded(byte[] payload);
}
