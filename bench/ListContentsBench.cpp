// listcontents over jars cut from the local JDK's modules, next to `unzip -p` of the same big jar.
//
// The jars are built on the first run (jmod extract, then jar) under the build tree and kept:
//   big.jar       every class of java.base, java.desktop and java.xml (about 14,000);
//   cut-N.jar     the first N classes (N = 1000 ... 16000) of those modules plus jdk.compiler and
//                 jdk.localedata, in path order.
// After the runs the program prints the two ratios the loader is held to: cut-16000 against
// cut-1000 (at most 20: linear growth) and big.jar against unzip (at most 3).

#include "JdkJars.h"
#include "RatioReporter.h"
#include "base/Logger.h"
#include "loader/ClassLoader.h"

#include <QCoreApplication>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

// What ListContentsWorker does, with the listing going to /dev/null.
void listContents(benchmark::State &state, const QString &jar)
{
    if (jar.isEmpty()) {
        state.SkipWithError("could not build the benchmark jar");
        return;
    }
    std::unique_ptr<FILE, int (*)(FILE *)> sink(std::fopen("/dev/null", "w"), std::fclose);
    int listed = 0;
    for (auto _ : state) {
        std::unique_ptr<ClassLoader> chain(ClassLoader::create(Classpath(jar)));
        chain->loadAllClasses();
        const QMap<QString, Class *> classes = chain->getAllClasses();
        for (const Class *cls : classes) {
            const QByteArray line = cls->getName().toString().toLocal8Bit() + '\n';
            std::fwrite(line.constData(), 1, size_t(line.size()), sink.get());
            std::fflush(sink.get());
        }
        listed = classes.size();
    }
    state.counters["classes"] = listed;
}

void BM_ListContentsCut(benchmark::State &state)
{
    listContents(state, JdkJars::cut(int(state.range(0))));
}
BENCHMARK(BM_ListContentsCut)
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(4000)
    ->Arg(8000)
    ->Arg(16000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);

void BM_ListContentsBig(benchmark::State &state)
{
    listContents(state, JdkJars::big());
}
BENCHMARK(BM_ListContentsBig)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// The whole program, as a user runs it, for comparison with unzip (also a whole process).
void BM_ListContentsBigProgram(benchmark::State &state)
{
    const QString program = JCT_BINARY_DIR "/javaconformance";
    const QString jar = JdkJars::big();
    if (jar.isEmpty() || !QFile::exists(program)) {
        state.SkipWithError("no program or no benchmark jars");
        return;
    }
    const QTemporaryDir logDir;
    for (auto _ : state)
        JdkJars::runTool(
            program,
            { "--nogui", "--listcontents", "--logdir", logDir.path(), "--classpath", jar });
}
BENCHMARK(BM_ListContentsBigProgram)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_UnzipBig(benchmark::State &state)
{
    const QString jar = JdkJars::big();
    if (jar.isEmpty() || QStandardPaths::findExecutable("unzip").isEmpty()) {
        state.SkipWithError("no unzip or no benchmark jars");
        return;
    }
    for (auto _ : state)
        JdkJars::runTool("unzip", { "-p", jar });
}
BENCHMARK(BM_UnzipBig)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir logDir;
    Logger::init(logDir.path());
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatio(
        "cut-16000 / cut-1000", "BM_ListContentsCut/16000", "BM_ListContentsCut/1000", 20);
    reporter.printRatio("big.jar in process / unzip -p", "BM_ListContentsBig/", "BM_UnzipBig/", 3);
    reporter.printRatio(
        "big.jar whole program / unzip -p", "BM_ListContentsBigProgram/", "BM_UnzipBig/", 3);
    return 0;
}
