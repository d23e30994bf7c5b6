package nested;

/** Its name has digits inside, not at the end: not anonymous. */
public class Outer$2$Inner {
}
