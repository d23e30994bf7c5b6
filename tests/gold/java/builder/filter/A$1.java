package filter;

/** Named like an anonymous class, but public: only the name tells the builder to skip it. */
public class A$1 {
}
