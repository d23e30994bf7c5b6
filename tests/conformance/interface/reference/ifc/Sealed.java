package ifc;

public final class Sealed {
}
