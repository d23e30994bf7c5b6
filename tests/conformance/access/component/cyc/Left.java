package cyc;

public class Left extends Right {
}
