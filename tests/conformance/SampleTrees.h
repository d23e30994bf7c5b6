#pragma once

#include "conformance/RUtil.h"
#include "conformance/Results.h"

#include <QByteArray>

#include <memory>
#include <sstream>
#include <string>

/// A root holding "Interface Results", a class group and "Attributes" with one failed result.
inline std::unique_ptr<TestResultGroup> exampleTree()
{
    std::unique_ptr<TestResultGroup> root(createResultsTreeRootNode());
    TestResultGroup *interfaceResults = root->add_subgroup();
    interfaceResults->set_name("Interface Results");
    TestResultGroup *classGroup = interfaceResults->add_subgroup();
    classGroup->set_name("java.lang.Foo");
    TestResultGroup *attributes = classGroup->add_subgroup();
    attributes->set_name("Attributes");
    TestResult *result = attributes->add_results();
    result->set_name("Class java.lang.Foo existence test");
    result->set_description("Test if class java.lang.Foo exists.");
    result->set_score(R_FAIL);
    error(result->mutable_logs(), "java.lang.Foo could not be loaded from the classpath");
    return root;
}

/// The text form of exampleTree(), as results.txt holds it.
inline const char *exampleText()
{
    return "Results Tree:\n"
           "\n"
           "  Interface Results:\n"
           "\n"
           "    java.lang.Foo:\n"
           "\n"
           "      Attributes:\n"
           "\n"
           "        Class java.lang.Foo existence test: FAIL\n"
           "          Test if class java.lang.Foo exists.\n"
           "            ERROR: java.lang.Foo could not be loaded from the classpath\n"
           "\n";
}

/// A tree (or any group of it) as results.txt writes it.
inline QByteArray resultsText(const TestResultGroup &group)
{
    std::ostringstream out;
    write(out, group, 0);
    return QByteArray::fromStdString(out.str());
}
