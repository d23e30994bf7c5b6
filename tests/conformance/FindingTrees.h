#pragma once

#include "conformance/Results.h"

#include <QStringList>

#include <memory>

/// Result trees shaped like the tests' own, built result by result.
class FindingTree
{
public:
    FindingTree()
        : root(createResultsTreeRootNode())
    {
    }

    /// A result in the group at the path below the root ("Access Results", "a.One").
    TestResult &add(const QStringList &path,
                    const QString &name,
                    const QString &description,
                    TestScore score,
                    const QString &line,
                    const QString &cause = QString())
    {
        TestResult &result = *group(path).add_results();
        result.set_name(name.toStdString());
        result.set_description(description.toStdString());
        result.set_score(score);
        if (score == R_FAIL)
            error(result.mutable_logs(), line);
        else
            warning(result.mutable_logs(), line);
        setCause(result, cause);
        return result;
    }

    /// A run of a bit of everything: an interface failure with a cause, one missing class used
    /// by two component classes in three references, a method compiled against a newer API, a
    /// native call, a reflection note and a component jar that was not found.
    static FindingTree mixedRun()
    {
        FindingTree tree;
        const QString unsafe = "Class sun.misc.Unsafe existence test";
        tree.add({ "Interface Results", "drav.ios.IoMode", "Attributes" },
                 "Java version 8 test",
                 "Java class file version must be 8 or less.",
                 R_FAIL,
                 "Found incorrect version INVALID",
                 "major 55 = Java 11");
        tree.add({ "Access Results", "a.One" },
                 unsafe,
                 "Access to class sun.misc.Unsafe was requested. Checking for existence.",
                 R_FAIL,
                 "Class not found");
        tree.add({ "Access Results", "a.One" },
                 unsafe,
                 "Access to method getUnsafe ()Lsun/misc/Unsafe; in class sun.misc.Unsafe was "
                 "requested. Checking for class existence.",
                 R_FAIL,
                 "Class not found");
        tree.add({ "Access Results", "a.Two" },
                 unsafe,
                 "Access to class sun.misc.Unsafe was requested. Checking for existence.",
                 R_FAIL,
                 "Class not found");
        tree.add({ "Access Results", "a.Two" },
                 "Method open native test",
                 "Access to method open (I)I in class x.Native was requested. Checking if method "
                 "is native.",
                 R_INSPECT,
                 "Method is native. Inspection required to determine conformance of JNI calls.");
        tree.add({ "Access Results", "a.Three" },
                 "Method flip existence test",
                 "Access to method flip ()Lfw/Bytes; in class fw.Bytes was requested. Checking for "
                 "method existence.",
                 R_FAIL,
                 "Method not found",
                 "exists returning fw.Buffer");
        tree.add({ "Access Results", "a.Three" },
                 "Class java.lang.reflect.Method reflection informational test",
                 "Access to class from java.lang.reflect was requested.",
                 R_PASS,
                 "Class uses reflection java.lang.reflect.Method");
        tree.add({ "Input Results" },
                 "Input x.jar read test",
                 "Test if the component classpath entry x.jar was read.",
                 R_FAIL,
                 "not found in /tmp");
        return tree;
    }

    std::unique_ptr<TestResultGroup> root;

private:
    TestResultGroup &group(const QStringList &path)
    {
        TestResultGroup *at = root.get();
        for (const QString &name : path) {
            TestResultGroup *next = nullptr;
            for (TestResultGroup &child : *at->mutable_subgroup()) {
                if (child.name() == name.toStdString())
                    next = &child;
            }
            if (!next) {
                next = at->add_subgroup();
                next->set_name(name.toStdString());
            }
            at = next;
        }
        return *at;
    }
};
