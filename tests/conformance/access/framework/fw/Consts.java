package fw;

public interface Consts {
    Object MARK = new Object();
}
