package cyc;

public class Left {
}
