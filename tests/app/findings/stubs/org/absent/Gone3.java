package org.absent;

// A class of a framework the component needs and the run is not given.
public class Gone3 {
}
