#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

/// One case of the differential test against the JVM: a library in two versions and a user
/// compiled against the first. The JVM runs the user with the second version; the access test
/// tests the user with the second version as its framework. The two agree when the JVM runs the
/// case and the tester fails nothing, or the JVM throws a LinkageError and the tester fails the
/// case. How to write one is said at the top of JvmCases.cpp.
struct JvmCase
{
    /// A Java source file, its path as javac sees it below the source root.
    struct Source
    {
        QString path;
        QString text;
        /// The second version holds the classes javac made of the first, as a library rebuilt
        /// only in part does: for a class that javac refuses against the second version.
        bool keptFromFirst = false;
    };
    /// A user class written byte by byte, for code that javac does not write.
    struct Crafted
    {
        /// Internal name ("@/b/Loader").
        QString name;
        /// The class file, given the case's package root.
        std::function<QByteArray(const QString &root)> build;
    };

    /// An UpperCamelCase name; lowercased, it is the root of the case's packages.
    QString name;
    /// Empty when the tester and the JVM agree on the case; otherwise why they do not yet.
    QString disagreement;
    QList<Source> library;
    /// The first class holds `public static void run()`, which the JVM calls.
    QList<Source> user;
    QList<Crafted> crafted = {};
    /// The user's classes as a compiler before Java 6 wrote them: this major version and no stack
    /// maps, so that the JVM infers their types. 0 keeps them as javac wrote them.
    quint16 major = 0;
};

/// Every case, each in packages of its own.
QList<JvmCase> jvmCases();

/// The cases of resolution and access (JvmLinkageCases.cpp).
QList<JvmCase> linkageCases();

/// A class User in the case's package, whose run() holds this body.
JvmCase::Source userIn(const QString &package, const QString &body);
