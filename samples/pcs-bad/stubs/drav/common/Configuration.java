package drav.common;

/** What Monitor is compiled against: validate() public, where the reference has it protected. */
public class Configuration {
    public Status validate() {
        return Status.OK;
    }
}
