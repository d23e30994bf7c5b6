// Opening the reference gold files, as every test run does before it looks up its first class:
// each file read, checked and indexed (GoldFile), next to parsing it whole (ProtoIO::read).
//
// Run from the build tree after scripts/build-data: bench/GoldFileBench

#include "JavaTypes.pb.h"
#include "goldformat/GoldFile.h"
#include "goldformat/ProtoIO.h"

#include <QFile>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

const QString dataDir = JCT_DATA_DIR "/data/";
const QStringList goldFiles { "j2se8.javagold",
                              "j2ee8.javagold",
                              "DRAV_common.javagold",
                              "FormerlyCORBA.javagold",
                              "IOS.javagold",
                              "TSS_type_independent.javagold",
                              "TSS_type_abstraction.javagold" };

bool hasData(benchmark::State &state)
{
    for (const QString &file : goldFiles) {
        if (!QFile::exists(dataDir + file)) {
            state.SkipWithError("data/ is missing: run scripts/build-data");
            return false;
        }
    }
    return true;
}

void setBytes(benchmark::State &state)
{
    qint64 bytes = 0;
    for (const QString &file : goldFiles)
        bytes += QFile(dataDir + file).size();
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes);
}

void BM_OpenReferenceGoldFiles(benchmark::State &state)
{
    if (!hasData(state))
        return;
    for (auto _ : state) {
        for (const QString &file : goldFiles) {
            const GoldFile::Opened gold = GoldFile::open(dataDir + file);
            benchmark::DoNotOptimize(gold.file->getRecordCount());
        }
    }
    setBytes(state);
}

void BM_ReadReferenceGoldFilesWhole(benchmark::State &state)
{
    if (!hasData(state))
        return;
    for (auto _ : state) {
        for (const QString &file : goldFiles) {
            const ProtoIO::Read read = ProtoIO::read(dataDir + file);
            benchmark::DoNotOptimize(read.classes->classes_size());
        }
    }
    setBytes(state);
}

BENCHMARK(BM_OpenReferenceGoldFiles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadReferenceGoldFilesWhole)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
