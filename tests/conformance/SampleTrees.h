#pragma once

#include "conformance/Results.h"

#include <memory>
#include <string>

/// A root holding "Interface Results", a class group and "Attributes" with one failed result.
inline std::unique_ptr<TestResultGroup> exampleTree()
{
    std::unique_ptr<TestResultGroup> root(createResultsTreeRootNode());
    TestResultGroup *attributes = root->add_subgroup()->add_subgroup()->add_subgroup();
    root->mutable_subgroup(0)->set_name("Interface Results");
    root->mutable_subgroup(0)->mutable_subgroup(0)->set_name("java.lang.Foo");
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
