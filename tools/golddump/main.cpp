// golddump: prints a gold file as text, every field of every record.

#include "GoldFiles.h"

#include <iostream>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::cerr << "usage: golddump FILE.javagold\n";
        return 2;
    }
    JClasses classes;
    std::string error;
    if (!GoldFiles::read(argv[1], classes, error)) {
        std::cerr << "golddump: " << error << "\n";
        return 1;
    }
    GoldFiles::print(classes, std::cout);
    return std::cout.good() ? 0 : 1;
}
