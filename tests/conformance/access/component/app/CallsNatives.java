package app;

public class CallsNatives {
    public void run(fw.Natives natives) {
        natives.open();
        natives.close();
    }
}
