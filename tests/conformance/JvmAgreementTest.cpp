// The access test against the JVM: every case of JvmCases.cpp is run on the JVM and tested by
// the access test, and the two verdicts must agree, except for the cases marked as not agreeing
// yet. All cases are built by two javac runs, run by one JVM and tested by one access test, each
// case in packages of its own.

#include "JvmCases.h"

#include "conformance/UoPTest.h"
#include "report/Results.h"
#include "support/BuiltData.h"
#include "support/ClassFileBuilder.h"
#include "support/Files.h"
#include "support/Golden.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

// Far beyond a sound run on a loaded machine; only a hanging tool reaches it.
const int toolLimitMs = 600000;

QString rootOf(const JvmCase &jvmCase)
{
    return jvmCase.name.toLower();
}

/// The text of one version (0 the first, 1 the second): each "@{first|second}@" made one of its
/// two texts, and "@." and "@/" the case's root.
QString versionOf(QString text, int version, const QString &root)
{
    static const QRegularExpression choice(R"(@\{([^|]*)\|(.*?)\}@)",
                                           QRegularExpression::DotMatchesEverythingOption);
    for (auto match = choice.match(text); match.hasMatch(); match = choice.match(text))
        text.replace(match.capturedStart(), match.capturedLength(), match.captured(1 + version));
    return text.replace("@.", root + ".").replace("@/", root + "/");
}

/// The binary name of a class from its source path or internal name.
QString binaryName(QString path)
{
    if (path.endsWith(".java"))
        path.chop(5);
    return path.replace('/', '.');
}

/// What the JVM made of one case: "runs", or "error" or "broken" with the throwable.
struct JvmOutcome
{
    QString kind;
    QString thrown;
};

/// The cases written out as sources, built and run.
class CaseBuild
{
public:
    explicit CaseBuild(const QList<JvmCase> &cases)
        : cases(cases)
    {
        for (int i = 0; i < cases.size(); ++i)
            writeCase(i);
    }

    /// Compiles the first version with the users and the second with the JVM's runner, then
    /// makes the component of the users' classes.
    void build()
    {
        javac("first", firstSources);
        javac("second", secondSources << QString(JCT_JVM_CASE_RUNNER));
        for (int i = 0; i < cases.size(); ++i) {
            keepFromFirst(i);
            makeComponent(i);
        }
    }

    /// Starts the JVM on every case; outcomes() waits for it.
    void startJvm()
    {
        QStringList manifest;
        for (int i = 0; i < cases.size(); ++i)
            manifest << QString("%1 %2").arg(cases.at(i).name, userClasses.value(i).join(' '));
        writeFile(path("cases.txt"), manifest.join('\n').toUtf8() + '\n');
        jvm.start(JCT_JAVA,
                  { "-cp",
                    path("second"),
                    "jvmcases.CaseRunner",
                    path("cases.txt"),
                    path("component"),
                    path("second") });
    }

    QHash<QString, JvmOutcome> outcomes()
    {
        QHash<QString, JvmOutcome> outcomes;
        EXPECT_TRUE(jvm.waitForFinished(toolLimitMs) && jvm.exitCode() == 0)
            << jvm.readAllStandardError().toStdString();
        for (const QString &line : QString::fromUtf8(jvm.readAllStandardOutput()).split('\n')) {
            const QStringList words = line.split(' ');
            if (words.size() >= 2)
                outcomes.insert(words.at(0), { words.at(1), words.mid(2).join(' ') });
        }
        return outcomes;
    }

    QString path(const QString &relative) const { return dir.filePath(relative); }

    /// The case a class of the component belongs to, by its dotted name; -1 for none.
    int caseOf(const QString &className) const
    {
        const QString outer = className.section('$', 0, 0);
        for (int i = 0; i < userClasses.size(); ++i) {
            if (userClasses.at(i).contains(outer))
                return i;
        }
        return -1;
    }

private:
    void writeCase(int index)
    {
        const JvmCase &jvmCase = cases.at(index);
        const QString root = rootOf(jvmCase);
        QStringList users;
        for (const JvmCase::Source &source : jvmCase.library) {
            write("first", source, 0, root, firstSources);
            if (!source.keptFromFirst)
                write("second", source, 1, root, secondSources);
        }
        for (const JvmCase::Source &source : jvmCase.user) {
            write("first", source, 0, root, firstSources);
            users << binaryName(versionOf(source.path, 0, root));
        }
        for (const JvmCase::Crafted &crafted : jvmCase.crafted)
            users << binaryName(versionOf(crafted.name, 0, root));
        userClasses.append(users);
    }

    void write(const QString &tree,
               const JvmCase::Source &source,
               int version,
               const QString &root,
               QStringList &sources)
    {
        const QString text = versionOf(source.text, version, root);
        if (text.trimmed().isEmpty())
            return;
        const QString file = path(tree + "-src/" + versionOf(source.path, version, root));
        ASSERT_TRUE(QDir().mkpath(QFileInfo(file).path()));
        writeFile(file, text.toUtf8());
        sources << file;
    }

    void javac(const QString &tree, const QStringList &sources)
    {
        QStringList arguments { "--release", "8", "-nowarn", "-encoding", "UTF-8", "-d", tree };
        for (const QString &source : sources)
            arguments << '"' + source + '"';
        writeFile(path(tree + ".args"), arguments.join('\n').toUtf8());
        QProcess process;
        process.setWorkingDirectory(dir.path());
        process.start(JCT_JAVAC, { '@' + path(tree + ".args") });
        ASSERT_TRUE(process.waitForFinished(toolLimitMs) && process.exitCode() == 0)
            << process.readAllStandardError().toStdString();
    }

    /// The classes javac made of a source in the first version, nested ones included: their
    /// paths below the class root, and their bytes.
    QList<QPair<QString, QByteArray>> compiledFirst(const JvmCase::Source &source,
                                                    const QString &root) const
    {
        QList<QPair<QString, QByteArray>> classes;
        const QFileInfo compiled(path("first/" + versionOf(source.path, 0, root)));
        const QString stem = compiled.completeBaseName();
        const QString folder = compiled.path();
        const QString relative = QDir(path("first")).relativeFilePath(folder);
        for (const QString &name : QDir(folder).entryList({ stem + ".class", stem + "$*.class" }))
            classes.append({ relative + '/' + name, readFile(folder + '/' + name) });
        return classes;
    }

    void writeClass(const QString &tree, const QString &relative, const QByteArray &bytes)
    {
        const QString file = QDir::cleanPath(path(tree + '/' + relative));
        ASSERT_TRUE(QDir().mkpath(QFileInfo(file).path()));
        writeFile(file, bytes);
    }

    void keepFromFirst(int index)
    {
        const JvmCase &jvmCase = cases.at(index);
        for (const JvmCase::Source &source : jvmCase.library) {
            if (!source.keptFromFirst)
                continue;
            for (const auto &compiled : compiledFirst(source, rootOf(jvmCase)))
                writeClass("second", compiled.first, compiled.second);
        }
    }

    /// The user's classes of one case, nested ones included, crafted ones and older ones made.
    void makeComponent(int index)
    {
        const JvmCase &jvmCase = cases.at(index);
        const QString root = rootOf(jvmCase);
        QList<QPair<QString, QByteArray>> classes;
        for (const JvmCase::Source &source : jvmCase.user)
            classes += compiledFirst(source, root);
        for (const JvmCase::Crafted &crafted : jvmCase.crafted)
            classes.append({ versionOf(crafted.name, 0, root) + ".class", crafted.build(root) });
        for (const auto &entry : classes) {
            writeClass("component",
                       entry.first,
                       jvmCase.major ? withoutStackMaps(entry.second, jvmCase.major)
                                     : entry.second);
        }
    }

    const QList<JvmCase> &cases;
    QTemporaryDir dir;
    QStringList firstSources;
    QStringList secondSources;
    /// Per case, the binary names of its user's top-level classes, the entry first.
    QList<QStringList> userClasses;
    QProcess jvm;
};

/// The failures the access test found in each case, "class: result: error" with the case's root
/// written "@".
QHash<int, QStringList> testerFailures(const CaseBuild &build, const QList<JvmCase> &cases)
{
    Classpath allowed(BuiltData::path("data/j2se8.javagold"));
    allowed.append(build.path("second"));
    std::unique_ptr<TestResultGroup> root(createResultsTreeRootNode());
    UoPTest(root.get(), Classpath(build.path("component")), allowed).runTest();
    QHash<int, QStringList> failures;
    for (const TestResultGroup &group : root->subgroup(0).subgroup()) {
        const int index = build.caseOf(QString::fromStdString(group.name()));
        EXPECT_GE(index, 0) << "a class of no case: " << group.name();
        for (const TestResult &result : group.results()) {
            if (result.score() != R_FAIL)
                continue;
            QStringList errors;
            for (const LogEntry &entry : result.logs())
                errors << QString::fromStdString(entry.text());
            failures[index] << QString("%1: %2: %3")
                                   .arg(QString::fromStdString(group.name()),
                                        QString::fromStdString(result.name()),
                                        errors.join("; "))
                                   .replace(rootOf(cases.value(index)) + '.', "@.");
        }
    }
    return failures;
}

} // namespace

TEST(JvmAgreement, EveryCaseIsJudgedAsTheJvmRunsIt)
{
    const QList<JvmCase> cases = jvmCases();
    QSet<QString> roots;
    for (const JvmCase &jvmCase : cases) {
        ASSERT_TRUE(QRegularExpression("^[A-Z][A-Za-z0-9]*$").match(jvmCase.name).hasMatch())
            << jvmCase.name.toStdString();
        ASSERT_FALSE(roots.contains(rootOf(jvmCase))) << jvmCase.name.toStdString();
        roots.insert(rootOf(jvmCase));
    }
    CaseBuild build(cases);
    build.build();
    ASSERT_FALSE(testing::Test::HasFatalFailure());
    // The JVM runs while the access test tests.
    build.startJvm();
    const QHash<int, QStringList> failures = testerFailures(build, cases);
    const QHash<QString, JvmOutcome> outcomes = build.outcomes();

    QStringList transcript;
    int agreeing = 0;
    for (int i = 0; i < cases.size(); ++i) {
        const JvmCase &jvmCase = cases.at(i);
        const JvmOutcome outcome = outcomes.value(jvmCase.name);
        const QString jvm = QString(outcome.kind + ' ' + outcome.thrown)
                                .trimmed()
                                .replace(rootOf(jvmCase) + '.', "@.");
        const QStringList found = failures.value(i);
        transcript << jvmCase.name << "  JVM: " + jvm;
        for (const QString &failure : found)
            transcript << "  tester: " + failure;
        if (found.isEmpty())
            transcript << "  tester: no failure";

        SCOPED_TRACE(
            QString("%1: the JVM %2, the tester %3")
                .arg(jvmCase.name, jvm, found.isEmpty() ? "fails nothing" : found.join(", "))
                .toStdString());
        ASSERT_TRUE(outcome.kind == "runs" || outcome.kind == "error")
            << "the case itself is at fault";
        const bool agrees = (outcome.kind == "runs") == found.isEmpty();
        agreeing += agrees;
        if (jvmCase.disagreement.isEmpty())
            EXPECT_TRUE(agrees) << "the tester must judge it as the JVM does";
        else
            EXPECT_FALSE(agrees) << "they agree now: remove the mark \""
                                 << jvmCase.disagreement.toStdString() << '"';
    }
    // The count heads the transcript, so that its history shows the progress.
    transcript.prepend(QString("%1 cases, %2 agreeing").arg(cases.size()).arg(agreeing));
    Golden::expectEqual("conformance/jvm-cases.txt", transcript.join('\n').toUtf8() + '\n');
    RecordProperty("cases", cases.size());
    RecordProperty("agreeing", agreeing);
}
