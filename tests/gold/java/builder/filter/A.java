package filter;

public class A {
}
