// goldmark: sets the method marks that buildjavagold never writes on an existing gold file.
//   goldmark FILE (--signature-polymorphic|--require-inspection CLASS METHOD)...
// CLASS is a descriptor text such as Ljava/lang/System;. Every method of that name in every
// record of that class is marked; a mark that finds no method fails, so a renamed API cannot
// silently lose its mark.

#include "GoldFiles.h"

#include <iostream>
#include <string>
#include <vector>

namespace {

struct Mark
{
    bool signaturePolymorphic; // else requireInspection
    std::string className;
    std::string methodName;
};

bool parse(int argc, char **argv, std::string &file, std::vector<Mark> &marks)
{
    if (argc < 2)
        return false;
    file = argv[1];
    for (int i = 2; i < argc; i += 3) {
        const std::string option = argv[i];
        if ((option != "--signature-polymorphic" && option != "--require-inspection")
            || i + 2 >= argc)
            return false;
        marks.push_back({ option == "--signature-polymorphic", argv[i + 1], argv[i + 2] });
    }
    return !marks.empty();
}

int apply(JClasses &classes, const Mark &mark)
{
    int marked = 0;
    for (JClass &record : *classes.mutable_classes()) {
        if (record.name() != mark.className)
            continue;
        for (JMethod &method : *record.mutable_methods()) {
            if (method.name() != mark.methodName)
                continue;
            if (mark.signaturePolymorphic)
                method.set_signature_polymorphic(true);
            else
                method.set_requireinspection(true);
            ++marked;
        }
    }
    return marked;
}

} // namespace

int main(int argc, char **argv)
{
    std::string file;
    std::vector<Mark> marks;
    if (!parse(argc, argv, file, marks)) {
        std::cerr << "usage: goldmark FILE (--signature-polymorphic|--require-inspection CLASS "
                     "METHOD)...\n";
        return 2;
    }
    JClasses classes;
    std::string error;
    if (!GoldFiles::read(file, classes, error)) {
        std::cerr << "goldmark: " << error << "\n";
        return 1;
    }
    for (const Mark &mark : marks) {
        if (apply(classes, mark) == 0) {
            std::cerr << "goldmark: " << file << " has no method " << mark.methodName << " in "
                      << mark.className << "\n";
            return 1;
        }
    }
    if (!GoldFiles::write(file, classes, error)) {
        std::cerr << "goldmark: " << error << "\n";
        return 1;
    }
    return 0;
}
