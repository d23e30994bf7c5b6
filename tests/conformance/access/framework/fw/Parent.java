package fw;

// The private X is not inherited: Child.X is the one of Shadow, which a walk must meet first.
public class Parent extends Root implements Consts {
    private static Object X = new Object();
}
