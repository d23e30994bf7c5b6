#include "base/Options.h"

// Every layer reads the record; only the program parses the command line into it
// (app/OptionsCommandLine.cpp).
Options *Options::opts = new Options;
