package ifc;

public interface Gadget {
}
