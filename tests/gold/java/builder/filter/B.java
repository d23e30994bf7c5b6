package filter;

class B {
}
