// Reading speed of the class-file reader: every class of the local JDK's java.base module is read
// and dependency-scanned, single-threaded, from memory. The module is extracted with `jmod` into a
// temporary directory when the benchmark starts.
//
//   build/bench/ClassFileBench [--jmod=/path/to/java.base.jmod] [benchmark options]

#include "classfile/JavaClassFile.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

const char *const DEFAULT_JMOD = "/usr/lib/jvm/java-17-openjdk-amd64/jmods/java.base.jmod";

struct Corpus
{
    QList<QByteArray> classes;
    qint64 bytes = 0;
};

Corpus &corpus()
{
    static Corpus instance;
    return instance;
}

bool extractModule(const QString &jmod, const QString &dir)
{
    QProcess jmodTool;
    jmodTool.start(QStringLiteral("jmod"),
                   { QStringLiteral("extract"), QStringLiteral("--dir"), dir, jmod });
    return jmodTool.waitForFinished(-1) && jmodTool.exitStatus() == QProcess::NormalExit
        && jmodTool.exitCode() == 0;
}

bool loadCorpus(const QString &jmod)
{
    QTemporaryDir dir;
    if (!dir.isValid() || !extractModule(jmod, dir.path())) {
        std::fprintf(stderr, "Could not extract %s with jmod\n", qPrintable(jmod));
        return false;
    }
    QDirIterator it(dir.path() + QStringLiteral("/classes"),
                    { QStringLiteral("*.class") },
                    QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        corpus().classes.append(file.readAll());
        corpus().bytes += corpus().classes.last().size();
    }
    return !corpus().classes.isEmpty();
}

void setRates(benchmark::State &state)
{
    state.counters["MB/s"] = benchmark::Counter(double(corpus().bytes) / 1e6,
                                                benchmark::Counter::kIsIterationInvariantRate);
    state.counters["classes/s"] = benchmark::Counter(double(corpus().classes.size()),
                                                     benchmark::Counter::kIsIterationInvariantRate);
}

// Reads every class; with collectLists also asks for the three dependency lists, which the class
// file collects only on first use (the access test asks, a listing does not).
void readJavaBase(benchmark::State &state, bool collectLists)
{
    int rejected = 0;
    for (auto _ : state) {
        rejected = 0;
        for (const QByteArray &bytes : corpus().classes) {
            std::unique_ptr<JavaClassFile> classFile(
                JavaClassFile::create(bytes.constData(), bytes.size()));
            rejected += classFile->checkLog.hasErrors;
            if (collectLists) {
                benchmark::DoNotOptimize(classFile->getDependentClasses().size());
                benchmark::DoNotOptimize(classFile->getDependentFields().size());
                benchmark::DoNotOptimize(classFile->getDependentMethods().size());
            }
            benchmark::DoNotOptimize(classFile.get());
        }
    }
    setRates(state);
    state.counters["classes"] = double(corpus().classes.size());
    state.counters["rejected"] = rejected;
}

void BM_ReadAndScanJavaBase(benchmark::State &state)
{
    readJavaBase(state, true);
}
BENCHMARK(BM_ReadAndScanJavaBase)->Unit(benchmark::kMillisecond);

void BM_ReadAndCheckJavaBase(benchmark::State &state)
{
    readJavaBase(state, false);
}
BENCHMARK(BM_ReadAndCheckJavaBase)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QString jmod = QString::fromLatin1(DEFAULT_JMOD);
    for (int i = 1; i < argc; ++i) {
        if (qstrncmp(argv[i], "--jmod=", 7) == 0)
            jmod = QString::fromLocal8Bit(argv[i] + 7);
    }
    benchmark::Initialize(&argc, argv);
    if (!loadCorpus(jmod))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
