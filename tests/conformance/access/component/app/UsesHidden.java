package app;

public class UsesHidden {
    public void run() {
        fw.Hidden.touch();
    }
}
