#pragma once

#include "report/RUtil.h"
#include "report/Results.h"
#include "support/ProtoData.h"

#include <QByteArray>

#include <memory>
#include <sstream>

/// A root holding "Interface Results", a class group and "Attributes" with one failed result.
inline std::unique_ptr<TestResultGroup> exampleTree()
{
    return std::make_unique<TestResultGroup>(
        protoData<TestResultGroup>("report/example-tree.textproto"));
}

/// The text form of exampleTree(), as results.txt holds it.
inline QByteArray exampleText()
{
    return readFile(testDataPath("report/example-tree.txt"));
}

/// A tree (or any group of it) as results.txt writes it.
inline QByteArray resultsText(const TestResultGroup &group)
{
    std::ostringstream out;
    write(out, group, 0);
    return QByteArray::fromStdString(out.str());
}
