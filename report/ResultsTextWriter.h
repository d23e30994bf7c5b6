#pragma once

#include "TestResult.pb.h"

#include <ostream>
#include <string_view>

/// The lines of the text form of a result tree (results.txt), one call each, in the order the
/// text form gives them: a group's header, then each of its results with its description and
/// log lines, then its subgroups one level deeper. Texts are written escaped (PrintableText), so
/// that no name or message can make a line of its own.
class ResultsTextWriter
{
public:
    explicit ResultsTextWriter(std::ostream &out)
        : out(out)
    {
    }

    void group(int depth, std::string_view name);
    void result(int depth, std::string_view name, TestScore score);
    void description(int depth, std::string_view text);
    void log(int depth, LogLevel level, std::string_view text);
    void endResult();

private:
    void line(int indent, std::string_view text, std::string_view rest = {});

    std::ostream &out;
};
