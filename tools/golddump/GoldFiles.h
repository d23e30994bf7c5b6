#pragma once

#include "JavaTypes.pb.h"

#include <ostream>
#include <string>

/// Gold-file access for the command-line tools, which run without the program's log: failures
/// come back as text for the tool to print.
namespace GoldFiles {

/// Reads the whole file as one JClasses message, within the program's 64 MiB limit.
bool read(const std::string &path, JClasses &classes, std::string &error);
bool write(const std::string &path, const JClasses &classes, std::string &error);

/// Prints every field of every record, one record per line; absent optional fields show as
/// "(absent)", so a present but empty text ("") stays distinguishable from a missing one.
void print(const JClasses &classes, std::ostream &out);

} // namespace GoldFiles
