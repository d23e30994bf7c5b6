package ifc;

public class Base {
}
