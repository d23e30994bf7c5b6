package ifc;

public class Gadget {
}
