// listcontents over jars cut from the local JDK's modules, next to `unzip -p` of the same big jar.
//
// The jars are built on the first run (jmod extract, then jar) under the build tree and kept:
//   big.jar       every class of java.base, java.desktop and java.xml (about 14,000);
//   cut-N.jar     the first N classes (N = 1000 ... 16000) of those modules plus jdk.compiler and
//                 jdk.localedata, in path order.
// After the runs the program prints the two ratios the loader is held to: cut-16000 against
// cut-1000 (at most 20: linear growth) and big.jar against unzip (at most 3).

#include "app/Logger.h"
#include "loader/ClassLoader.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <iostream>
#include <map>
#include <memory>
#include <string>

namespace {

const QString jdkHome = "/usr/lib/jvm/java-17-openjdk-amd64";
const QString dataDir = JCT_BINARY_DIR "/bench-data/listcontents";
const QStringList bigModules{"java.base", "java.desktop", "java.xml"};
const QStringList extraModules{"jdk.compiler", "jdk.localedata"};
const QList<int> cutSizes{1000, 2000, 4000, 8000, 16000};

bool runTool(const QString &program, const QStringList &arguments, const QString &workDir = QString())
{
    QProcess process;
    process.setWorkingDirectory(workDir.isEmpty() ? dataDir : workDir);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (!process.waitForFinished(-1) || process.exitCode() != 0) {
        std::cerr << "failed: " << program.toStdString() << ' ' << arguments.join(' ').toStdString() << '\n';
        return false;
    }
    return true;
}

QString tool(const QString &name)
{
    const QString inJdk = jdkHome + "/bin/" + name;
    return QFile::exists(inJdk) ? inJdk : QStandardPaths::findExecutable(name);
}

// Class files of a module below dataDir/<module>/classes, relative to that folder, sorted.
QStringList extractModule(const QString &module)
{
    const QString out = dataDir + "/" + module;
    if (!QDir(out).exists() && !runTool(tool("jmod"), {"extract", "--dir", out, jdkHome + "/jmods/" + module + ".jmod"}))
        return {};
    QStringList classes;
    QDirIterator it(out + "/classes", {"*.class"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString relative = QDir(out + "/classes").relativeFilePath(it.next());
        if (relative != "module-info.class")
            classes << relative;
    }
    classes.sort();
    return classes;
}

// Writes an argument file for jar: "-C dir path" per class, so classes of several modules mix.
bool makeJar(const QString &jarName, const QList<QPair<QString, QString>> &moduleAndClass)
{
    if (QFile::exists(dataDir + "/" + jarName))
        return true;
    QFile list(dataDir + "/" + jarName + ".args");
    if (!list.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    for (const auto &entry : moduleAndClass)
        list.write(QString("-C %1/classes %2\n").arg(entry.first, entry.second).toLocal8Bit());
    list.close();
    return runTool(tool("jar"), {"cf", jarName, "@" + list.fileName()});
}

bool buildData()
{
    static const bool built = [] {
        QDir().mkpath(dataDir);
        QList<QPair<QString, QString>> big;
        QList<QPair<QString, QString>> pool;
        for (const QString &module : bigModules + extraModules) {
            for (const QString &cls : extractModule(module)) {
                if (bigModules.contains(module))
                    big.append({module, cls});
                pool.append({module, cls});
            }
        }
        if (!makeJar("big.jar", big))
            return false;
        std::cerr << "big.jar: " << big.size() << " classes; pool for the cut jars: " << pool.size() << '\n';
        for (int size : cutSizes) {
            if (pool.size() < size || !makeJar(QString("cut-%1.jar").arg(size), pool.mid(0, size)))
                return false;
        }
        return true;
    }();
    return built;
}

// What ListContentsWorker does, with the listing going to /dev/null.
void listContents(benchmark::State &state, const QString &jar)
{
    if (!buildData()) {
        state.SkipWithError("could not build the benchmark jars");
        return;
    }
    std::unique_ptr<FILE, int (*)(FILE *)> sink(std::fopen("/dev/null", "w"), std::fclose);
    int listed = 0;
    for (auto _ : state) {
        std::unique_ptr<ClassLoader> chain(ClassLoader::create(Classpath(dataDir + "/" + jar)));
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
    listContents(state, QString("cut-%1.jar").arg(state.range(0)));
}
BENCHMARK(BM_ListContentsCut)
    ->Arg(1000)->Arg(2000)->Arg(4000)->Arg(8000)->Arg(16000)
    ->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void BM_ListContentsBig(benchmark::State &state)
{
    listContents(state, "big.jar");
}
BENCHMARK(BM_ListContentsBig)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// The whole program, as a user runs it, for comparison with unzip (also a whole process).
void BM_ListContentsBigProgram(benchmark::State &state)
{
    const QString program = JCT_BINARY_DIR "/javaconformance";
    if (!buildData() || !QFile::exists(program)) {
        state.SkipWithError("no program or no benchmark jars");
        return;
    }
    const QTemporaryDir logDir;
    for (auto _ : state)
        runTool(program, {"--nogui", "--listcontents", "--logdir", logDir.path(), "--classpath", dataDir + "/big.jar"});
}
BENCHMARK(BM_ListContentsBigProgram)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_UnzipBig(benchmark::State &state)
{
    if (!buildData() || QStandardPaths::findExecutable("unzip").isEmpty()) {
        state.SkipWithError("no unzip or no benchmark jars");
        return;
    }
    for (auto _ : state)
        runTool("unzip", {"-p", dataDir + "/big.jar"});
}
BENCHMARK(BM_UnzipBig)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

/// Keeps the real time per iteration of every run to print the ratios at the end.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            if (!run.error_occurred && run.iterations > 0)
                millis[run.run_name.function_name + "/" + run.run_name.args] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void printRatio(const std::string &what, const std::string &slow, const std::string &fast, double bar) const
    {
        const auto a = millis.find(slow);
        const auto b = millis.find(fast);
        if (a == millis.end() || b == millis.end() || b->second <= 0)
            return;
        const double ratio = a->second / b->second;
        std::printf("%s: %.2f (bar %.0f) %s\n", what.c_str(), ratio, bar, ratio <= bar ? "ok" : "MISSED");
    }

private:
    std::map<std::string, double> millis;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir logDir;
    Logger::init(logDir.path());
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatio("cut-16000 / cut-1000", "BM_ListContentsCut/16000", "BM_ListContentsCut/1000", 20);
    reporter.printRatio("big.jar in process / unzip -p", "BM_ListContentsBig/", "BM_UnzipBig/", 3);
    reporter.printRatio("big.jar whole program / unzip -p", "BM_ListContentsBigProgram/", "BM_UnzipBig/", 3);
    return 0;
}
