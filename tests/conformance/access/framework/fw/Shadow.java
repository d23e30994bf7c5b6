package fw;

public interface Shadow {
    Object X = new Object();
}
