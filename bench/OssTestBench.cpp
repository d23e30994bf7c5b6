// The heaviest real workload: an OSS test of a real Java runtime. The component is the classes of
// eight modules of the local JDK, extracted with jmod at start; the reference is the shipped J2SE 8
// and J2EE 8 gold data under the General Purpose profile. Reports wall time, peak memory and the
// number of FAIL results per check, read back from results.txt.
//
// Run from the build tree: bench/OssTestBench (the data comes from <source>/data, as the recipes
// name it relative to the working directory).

#include "base/Logger.h"
#include "base/Options.h"
#include "conformance/Tests.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegExp>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdio>

namespace {
const QString jdk = "/usr/lib/jvm/java-17-openjdk-amd64";
const QStringList modules { "java.base",    "java.desktop", "java.xml", "java.sql",
                            "java.logging", "java.naming",  "java.rmi", "java.management" };

// The class folders of the extracted modules, or an empty classpath when jmod failed.
Classpath extractModules(const QString &into)
{
    Classpath classpath;
    for (const QString &module : modules) {
        const QString dir = into + "/" + module;
        const int status = QProcess::execute(
            jdk + "/bin/jmod", { "extract", "--dir", dir, jdk + "/jmods/" + module + ".jmod" });
        if (status != 0)
            return {};
        classpath.append(dir + "/classes");
    }
    return classpath;
}

// "Class java.lang.Foo existence test" and its kind: the name with its class, field or method
// label taken out, so that all results of one check count together.
QString checkOf(const QString &resultName)
{
    static const QList<QPair<QRegExp, QString>> kinds {
        { QRegExp("^Class \\S+ existence test$"), "class existence" },
        { QRegExp("^Java version .* test$"), "class version" },
        { QRegExp("^Class (abstract|non-abstract) test$"), "class abstract" },
        { QRegExp("^Class file .* test$"), "class interface" },
        { QRegExp("^Class (final|non-final) test$"), "class final" },
        { QRegExp("^Class permission test$"), "class permission" },
        { QRegExp("^Class parent .* test$"), "class parent" },
        { QRegExp("^Class interface .* implementation test$"), "class implements" },
        { QRegExp("^Field .* test$"), "field" },
        { QRegExp("^Method .* test$"), "method" },
    };
    for (const auto &kind : kinds) {
        if (kind.first.exactMatch(resultName))
            return kind.second;
    }
    return "other";
}

QMap<QString, int> failuresPerCheck(const QString &resultsFile)
{
    QMap<QString, int> counts;
    QFile file(resultsFile);
    if (!file.open(QIODevice::ReadOnly))
        return counts;
    while (!file.atEnd()) {
        const QString line = QString::fromLocal8Bit(file.readLine()).trimmed();
        if (line.endsWith(": FAIL"))
            ++counts[checkOf(line.chopped(6))];
    }
    return counts;
}

void BM_OssTestOfJdkModules(benchmark::State &state)
{
    QTemporaryDir work;
    const Classpath component = extractModules(work.path());
    if (component.isEmpty()) {
        state.SkipWithError("jmod extract failed");
        return;
    }
    if (!QFile::exists(QString(JCT_DATA_DIR) + "/data/j2se8.javagold")) {
        state.SkipWithError("no data/j2se8.javagold: run scripts/build-data");
        return;
    }
    const QString previousDir = QDir::currentPath();
    QDir::setCurrent(JCT_DATA_DIR);
    Options::opts->profile = 1;
    Options::opts->logDir = work.path();
    Options::opts->port = 0;

    for (auto _ : state)
        Tests::oss(component);
    QDir::setCurrent(previousDir);

    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MiB"] = usage.ru_maxrss / 1024.0;
    const QMap<QString, int> failures = failuresPerCheck(work.path() + "/results.txt");
    for (auto it = failures.cbegin(); it != failures.cend(); ++it) {
        state.counters["FAIL " + it.key().toStdString()] = it.value();
        std::printf("FAIL %-18s %d\n", qPrintable(it.key()), it.value());
    }
}
BENCHMARK(BM_OssTestOfJdkModules)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir logDir;
    Logger::init(logDir.path());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
