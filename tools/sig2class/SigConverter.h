#pragma once

#include <cstdint>
#include <string>
#include <vector>

/// Turns one signature file of the JDK's ct.sym (a class file whose methods carry no code) into a
/// class file of major version 52 that a class-file reader accepts: every concrete method gets a
/// minimal body, and attributes a Java 8 reader does not know are dropped.
namespace SigConverter {

using Bytes = std::vector<std::uint8_t>;

struct Result
{
    Bytes classFile; ///< empty when the input was rejected
    std::string error; ///< why the input was rejected
    std::string className; ///< internal name of the class, e.g. java/lang/Object
};

Result convert(const Bytes &sig);

} // namespace SigConverter
