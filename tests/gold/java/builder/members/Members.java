package members;

public class Members implements Runnable {
    private int hidden;
    protected long kept;
    public Object this$0;
    int packageField;

    public void access$000() {
    }

    public void run() {
    }

    private void secret() {
    }

    void packageMethod() {
    }
}
