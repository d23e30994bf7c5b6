package ifc;

public class Missing {
}
