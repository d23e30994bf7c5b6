package p;

public interface Marker {
    int VERSION = 1;
}
