// The access test over real jars as a user runs it: the whole program, `--nogui --testpss
// --general --tssgold data/TSS_type_independent.javagold`, log.txt and results.txt written, one
// process per run. Reports wall time per run and the peak memory of the process.
//
//   guava.jar, bcprov.jar    Debian's (libguava-java, libbcprov-java), when installed
//   guava-classes            the same classes as guava.jar, unpacked into a directory
//   cut-1000, cut-16000      jars cut from the JDK's modules, as the listing benchmark cuts them
//   runtime.jar              every class of the JDK's java.* modules: a whole Java runtime
//   slf4j-api.jar            a small jar (34 classes): what start-up costs
//   every Debian jar         each distinct jar of /usr/share/java in turn, one process each
//   tiny-100000.jar          100,000 classes of one constructor each, generated on first use
// and the listing of runtime.jar next to `unzip -p` of it. After the runs it prints the ratios
// and figures the access test is held to.
//
// Run from the build tree after scripts/build-data: bench/JarAccessBench

#include "JdkJars.h"
#include "RatioReporter.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <archive.h>
#include <archive_entry.h>
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <malloc.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <vector>

extern char **environ;

namespace {

const QString program = JCT_BINARY_DIR "/javaconformance";
const QString debianJars = "/usr/share/java";

struct ProcessRun
{
    bool ok = false;
    double seconds = 0;
    double peakMiB = 0;
};

// One whole process, its output thrown away; wait4 gives the peak memory of exactly this child.
ProcessRun runProcess(const QStringList &arguments, const QString &workDir)
{
    std::vector<QByteArray> bytes;
    for (const QString &argument : arguments)
        bytes.push_back(QFile::encodeName(argument));
    std::vector<char *> argv;
    for (QByteArray &argument : bytes)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const QByteArray oldDir = QFile::encodeName(QDir::currentPath());
    QDir::setCurrent(workDir);
    ProcessRun run;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    QDir::setCurrent(QFile::decodeName(oldDir));
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return run;
    int status = 0;
    rusage usage {};
    if (wait4(pid, &status, 0, &usage) != pid)
        return run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.peakMiB = usage.ru_maxrss / 1024.0;
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

void timeProcess(benchmark::State &state, const QStringList &arguments, const QString &workDir)
{
    double peak = 0;
    for (auto _ : state) {
        const ProcessRun run = runProcess(arguments, workDir);
        if (!run.ok) {
            state.SkipWithError("the process failed");
            return;
        }
        state.SetIterationTime(run.seconds);
        peak = std::max(peak, run.peakMiB);
    }
    state.counters["peak_MiB"] = peak;
}

QStringList pssArguments(const QString &component, const QString &logDir)
{
    return { program,       "--nogui", "--testpss", "--general",
             "--classpath", component, "--tssgold", "data/TSS_type_independent.javagold",
             "--logdir",    logDir };
}

bool hasData(benchmark::State &state)
{
    if (QFile::exists(JCT_DATA_DIR "/data/TSS_type_independent.javagold"))
        return true;
    state.SkipWithError("data/ is missing: run scripts/build-data");
    return false;
}

void pssTest(benchmark::State &state, const QString &component)
{
    if (component.isEmpty() || !QFile::exists(component)) {
        state.SkipWithError("component missing");
        return;
    }
    if (!hasData(state))
        return;
    const QTemporaryDir logDir;
    timeProcess(state, pssArguments(component, logDir.path()), JCT_DATA_DIR);
}

QString unpacked(const QString &jar, const QString &name)
{
    const QString dir = JCT_BINARY_DIR "/bench-data/" + name;
    if (!QFile::exists(jar))
        return QString();
    if (!QDir(dir).exists()
        && (!QDir().mkpath(dir) || !JdkJars::runTool("unzip", { "-q", jar }, dir)))
        return QString();
    return dir;
}

void BM_PssGuavaJar(benchmark::State &state)
{
    pssTest(state, debianJars + "/guava.jar");
}
void BM_PssGuavaDirectory(benchmark::State &state)
{
    pssTest(state, unpacked(debianJars + "/guava.jar", "guava-classes"));
}
void BM_PssBcprovJar(benchmark::State &state)
{
    pssTest(state, debianJars + "/bcprov.jar");
}
void BM_PssCut(benchmark::State &state)
{
    pssTest(state, JdkJars::cut(int(state.range(0))));
}
void BM_PssRuntimeJar(benchmark::State &state)
{
    pssTest(state, JdkJars::runtime());
}

void BM_PssSmallJar(benchmark::State &state)
{
    pssTest(state, debianJars + "/slf4j-api.jar");
}

// Each jar once, however many names link to it.
QStringList distinctDebianJars()
{
    QSet<QString> seen;
    QStringList jars;
    for (const QFileInfo &jar :
         QDir(debianJars).entryInfoList({ "*.jar" }, QDir::Files, QDir::Name)) {
        const QString target = jar.canonicalFilePath();
        if (!target.isEmpty() && !seen.contains(target)) {
            seen.insert(target);
            jars << target;
        }
    }
    return jars;
}

// The whole loop is one iteration: its time is the sum of the processes' times. A jar the tester
// does not end normally on is counted, not fatal: the loop's point is that there are none.
void BM_PssEveryDebianJar(benchmark::State &state)
{
    const QStringList jars = distinctDebianJars();
    if (jars.isEmpty() || !hasData(state)) {
        state.SkipWithError("no jars");
        return;
    }
    double peak = 0;
    int failed = 0;
    for (auto _ : state) {
        double seconds = 0;
        for (const QString &jar : jars) {
            const QTemporaryDir logDir;
            const ProcessRun run = runProcess(pssArguments(jar, logDir.path()), JCT_DATA_DIR);
            seconds += run.seconds;
            peak = std::max(peak, run.peakMiB);
            failed += run.ok ? 0 : 1;
        }
        state.SetIterationTime(seconds);
    }
    state.counters["jars"] = jars.size();
    state.counters["failed"] = failed;
    state.counters["peak_MiB"] = peak;
}

// public class t/C000042 with only its default constructor, as javac writes it without debug
// information: a few hundred bytes, one method and one reference out.
QByteArray tinyClass(int number)
{
    const QByteArray name = QString("t/C%1").arg(number, 6, 10, QChar('0')).toLatin1();
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    const auto utf8 = [&out](const QByteArray &text) {
        out << quint8(1) << quint16(text.size());
        out.writeRawData(text.constData(), text.size());
    };
    // magic, version 52.0, 9 constants
    out << quint32(0xCAFEBABE) << quint16(0) << quint16(52) << quint16(10);
    utf8(name); // #1
    out << quint8(7) << quint16(1); // #2 the class
    utf8("java/lang/Object"); // #3
    out << quint8(7) << quint16(3); // #4 its superclass
    utf8("<init>"); // #5
    utf8("()V"); // #6
    out << quint8(12) << quint16(5) << quint16(6); // #7 <init>()V
    out << quint8(10) << quint16(4) << quint16(7); // #8 Object.<init>()V
    utf8("Code"); // #9
    out << quint16(0x0021) << quint16(2) << quint16(4) << quint16(0) << quint16(0); // public super
    out << quint16(1) << quint16(0x0001) << quint16(5) << quint16(6) << quint16(1); // public <init>
    // Code: its length, stack and locals 1, then aload_0, invokespecial #8, return
    out << quint16(9) << quint32(17) << quint16(1) << quint16(1) << quint32(5);
    out << quint8(0x2a) << quint8(0xb7) << quint16(8) << quint8(0xb1);
    out << quint16(0) << quint16(0) << quint16(0); // no handlers, code attributes, class attributes
    return bytes;
}

bool writeTinyJar(const QString &path, int classes)
{
    // Each entry's compressor takes and frees a quarter megabyte at the top of the heap; freed, it
    // is given back to the system and asked for again, and the 100,000 entries took minutes.
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
    archive *zip = archive_write_new();
    bool ok = archive_write_set_format_zip(zip) == ARCHIVE_OK
        && archive_write_open_filename(zip, QFile::encodeName(path).constData()) == ARCHIVE_OK;
    for (int number = 0; ok && number < classes; ++number) {
        const QByteArray bytes = tinyClass(number);
        archive_entry *entry = archive_entry_new();
        archive_entry_set_pathname(
            entry, QString("t/C%1.class").arg(number, 6, 10, QChar('0')).toLatin1().constData());
        archive_entry_set_filetype(entry, AE_IFREG);
        archive_entry_set_perm(entry, 0644);
        archive_entry_set_size(entry, bytes.size());
        ok = archive_write_header(zip, entry) == ARCHIVE_OK
            && archive_write_data(zip, bytes.constData(), size_t(bytes.size())) == bytes.size();
        archive_entry_free(entry);
    }
    ok = archive_write_close(zip) == ARCHIVE_OK && ok;
    archive_write_free(zip);
    return ok;
}

// Built once under the build tree and kept; a half-written jar is never left under its name.
QString tinyJar(int classes)
{
    const QString jar = QString(JCT_BINARY_DIR "/bench-data/tiny-%1.jar").arg(classes);
    if (QFile::exists(jar))
        return jar;
    QDir().mkpath(QFileInfo(jar).path());
    if (!writeTinyJar(jar + ".part", classes) || !QFile::rename(jar + ".part", jar))
        return QString();
    return jar;
}

void BM_PssTinyClasses(benchmark::State &state)
{
    const int classes = int(state.range(0));
    pssTest(state, tinyJar(classes));
    state.counters["KiB_per_class"] = state.counters["peak_MiB"] * 1024 / classes;
}

void BM_ListRuntimeJar(benchmark::State &state)
{
    const QTemporaryDir logDir;
    timeProcess(state,
                { program,
                  "--nogui",
                  "--listcontents",
                  "--classpath",
                  JdkJars::runtime(),
                  "--logdir",
                  logDir.path() },
                logDir.path());
}

void BM_UnzipRuntimeJar(benchmark::State &state)
{
    if (QStandardPaths::findExecutable("unzip").isEmpty()) {
        state.SkipWithError("no unzip");
        return;
    }
    timeProcess(state, { "unzip", "-p", JdkJars::runtime() }, QDir::tempPath());
}

#define JCT_PROCESS_BENCHMARK(name)                                                                \
    BENCHMARK(name)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3)

JCT_PROCESS_BENCHMARK(BM_PssGuavaJar);
JCT_PROCESS_BENCHMARK(BM_PssGuavaDirectory);
JCT_PROCESS_BENCHMARK(BM_PssBcprovJar);
JCT_PROCESS_BENCHMARK(BM_PssCut)->Arg(1000)->Arg(16000);
JCT_PROCESS_BENCHMARK(BM_PssRuntimeJar);
JCT_PROCESS_BENCHMARK(BM_PssSmallJar);
BENCHMARK(BM_PssEveryDebianJar)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);
BENCHMARK(BM_PssTinyClasses)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1);
JCT_PROCESS_BENCHMARK(BM_ListRuntimeJar);
JCT_PROCESS_BENCHMARK(BM_UnzipRuntimeJar);

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatio(
        "guava jar / guava directory", "BM_PssGuavaJar/", "BM_PssGuavaDirectory/", 1.3);
    reporter.printRatio("cut-16000 / cut-1000", "BM_PssCut/16000", "BM_PssCut/1000", 18);
    reporter.printRatio(
        "listing runtime.jar / unzip -p", "BM_ListRuntimeJar/", "BM_UnzipRuntimeJar/", 2);
    return 0;
}
