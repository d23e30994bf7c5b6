// The access test of a large real component: every class of the local JDK's java.desktop module
// against the Java SE 8 gold file that scripts/build-data makes (data/j2se8.javagold). The log is
// written as in a real run. Peak memory: run the program under /usr/bin/time -v.

#include "base/Logger.h"
#include "conformance/UoPTest.h"
#include "report/Results.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

const QString jmods = "/usr/lib/jvm/java-17-openjdk-amd64/jmods";

/// A scratch directory that lives for the whole program: the extracted modules and the log.
QTemporaryDir &scratch()
{
    static QTemporaryDir dir;
    return dir;
}

/// The class files of one JDK module, extracted once; empty when extraction failed.
QString extractModule(const QString &module)
{
    const QString target = scratch().filePath(module);
    if (QFileInfo(target + "/classes").isDir())
        return target + "/classes";
    QProcess jmod;
    jmod.start("jmod", { "extract", "--dir", target, QString("%1/%2.jmod").arg(jmods, module) });
    if (!jmod.waitForFinished(-1) || jmod.exitStatus() != QProcess::NormalExit
        || jmod.exitCode() != 0)
        return QString();
    return target + "/classes";
}

int countClassFiles(const QString &root)
{
    int count = 0;
    QDirIterator files(root, { "*.class" }, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        files.next();
        ++count;
    }
    return count;
}

void accessTestOfJavaDesktop(benchmark::State &state)
{
    const QString component = extractModule("java.desktop");
    const QString gold = QString(JCT_DATA_DIR) + "/data/j2se8.javagold";
    if (!QFileInfo(gold).isFile()) {
        state.SkipWithError("data/j2se8.javagold is missing: run scripts/build-data");
        return;
    }
    if (component.isEmpty()) {
        state.SkipWithError("could not extract java.desktop with jmod");
        return;
    }
    const int classes = countClassFiles(component);
    for (auto _ : state) {
        std::unique_ptr<TestResultGroup> root(createResultsTreeRootNode());
        UoPTest(root.get(), Classpath(component), Classpath(gold)).runTest();
        benchmark::DoNotOptimize(root->subgroup(0).subgroup_size());
    }
    state.counters["classes"] = classes;
    state.counters["classes/s"]
        = benchmark::Counter(classes, benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(accessTestOfJavaDesktop)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    Logger::init(scratch().path());
    std::printf("log: %s/log.txt\n", qPrintable(scratch().path()));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
