package drav.common;

import java.util.Collections;
import java.util.Map;
import java.util.Set;
import java.util.TreeMap;

/** Named text settings of a service, with typed readers; keys are kept sorted. */
public class Configuration {
    private final Map<String, String> entries = new TreeMap<String, String>();

    public Configuration() {
    }

    public Configuration(Configuration other) {
        entries.putAll(other.entries);
    }

    public void set(String key, String value) {
        entries.put(key, value);
    }

    public String get(String key) {
        return entries.get(key);
    }

    public String get(String key, String fallback) {
        String value = entries.get(key);
        return value == null ? fallback : value;
    }

    public int getInt(String key, int fallback) throws DravException {
        String value = entries.get(key);
        if (value == null) {
            return fallback;
        }
        try {
            return Integer.parseInt(value.trim());
        } catch (NumberFormatException e) {
            throw new DravException(new Status(StatusCode.INVALID_CONFIGURATION, key), e);
        }
    }

    public Set<String> keys() {
        return Collections.unmodifiableSet(entries.keySet());
    }

    /** Checks the settings a subclass needs; the base accepts everything. */
    protected Status validate() {
        return Status.OK;
    }
}
