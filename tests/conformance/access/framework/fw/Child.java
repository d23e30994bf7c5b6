package fw;

public class Child extends Parent implements Shadow {
}
