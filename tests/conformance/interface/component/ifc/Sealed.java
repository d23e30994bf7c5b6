package ifc;

class Sealed {
}
