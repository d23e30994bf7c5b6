#include "report/ResultsTextWriter.h"

#include "base/PrintableText.h"

#include <string>

namespace {

const char *scoreWord(TestScore score)
{
    switch (score) {
    case R_PASS:
        return "PASS";
    case R_FAIL:
        return "FAIL";
    default:
        return "UNKNOWN";
    }
}

const char *levelWord(LogLevel level)
{
    switch (level) {
    case L_WARNING:
        return "WARNING";
    case L_ERROR:
        return "ERROR";
    default:
        return "UNKNOWN";
    }
}

} // namespace

// Results at depth d start with 2d + 2 spaces, descriptions with 2d + 4, log lines with 2d + 6.
void ResultsTextWriter::group(int depth, std::string_view name)
{
    line(2 * depth, name, ":");
    out << '\n';
}

void ResultsTextWriter::result(int depth, std::string_view name, TestScore score)
{
    line(2 * depth + 2, name, std::string(": ") + scoreWord(score));
}

void ResultsTextWriter::description(int depth, std::string_view text)
{
    line(2 * depth + 4, text);
}

void ResultsTextWriter::log(int depth, LogLevel level, std::string_view text)
{
    line(2 * depth + 6, std::string(levelWord(level)) + ": ", text);
}

void ResultsTextWriter::endResult()
{
    out << '\n';
}

void ResultsTextWriter::line(int indent, std::string_view text, std::string_view rest)
{
    out << std::string(std::string::size_type(indent), ' ');
    PrintableText::write(out, text);
    PrintableText::write(out, rest);
    out << '\n';
}
