// The access test over real jars as a user runs it: the whole program, `--nogui --testpss
// --general --tssgold data/TSS_type_independent.javagold`, log.txt and results.txt written, one
// process per run. Reports wall time per run and the peak memory of the process.
//
//   guava.jar, bcprov.jar    Debian's (libguava-java, libbcprov-java), when installed
//   guava-classes            the same classes as guava.jar, unpacked into a directory
//   cut-1000, cut-16000      jars cut from the JDK's modules, as the listing benchmark cuts them
//   runtime.jar              every class of the JDK's java.* modules: a whole Java runtime
// and the listing of runtime.jar next to `unzip -p` of it. After the runs it prints the ratios
// and figures the access test is held to.
//
// Run from the build tree after scripts/build-data: bench/JarAccessBench

#include "JdkJars.h"
#include "RatioReporter.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <fcntl.h>
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

void pssTest(benchmark::State &state, const QString &component)
{
    if (component.isEmpty() || !QFile::exists(component)) {
        state.SkipWithError("component missing");
        return;
    }
    if (!QFile::exists(JCT_DATA_DIR "/data/TSS_type_independent.javagold")) {
        state.SkipWithError("data/ is missing: run scripts/build-data");
        return;
    }
    const QTemporaryDir logDir;
    timeProcess(state,
                { program,
                  "--nogui",
                  "--testpss",
                  "--general",
                  "--classpath",
                  component,
                  "--tssgold",
                  "data/TSS_type_independent.javagold",
                  "--logdir",
                  logDir.path() },
                JCT_DATA_DIR);
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
