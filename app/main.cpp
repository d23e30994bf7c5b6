#include "app/Startup.h"
#include "app/WindowProgram.h"
#include "base/Options.h"

int main(int argc, char **argv)
{
    Startup::readOptions(argc, argv);
    if (Options::opts->gui)
        return WindowProgram::handOver(argv);
    return Startup::run(argc, argv, &Startup::runConsole);
}
