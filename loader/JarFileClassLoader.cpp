#include "loader/JarFileClassLoader.h"

#include "classfile/JavaClassFile.h"

#include <QThread>

#include <algorithm>
#include <future>
#include <vector>

namespace {

// A batch is handed to the parsing threads once it holds this many bytes or entries. The calling
// thread reads the next batch meanwhile, so at most two batches of raw bytes are held at a time.
constexpr int batchBytes = 4 << 20;
constexpr int batchEntries = 256;

} // namespace

struct JarFileClassLoader::RawEntry
{
    int position; // in the reader's class names
    QByteArray bytes;
};

struct JarFileClassLoader::ParsedBatch
{
    std::vector<int> positions;
    std::vector<std::unique_ptr<JavaClassFile>> files;
    /// For a listing, what is noted of each file instead of the file, which is freed at once.
    std::vector<ClassFileOutline> outlines;
};

// Class files share nothing, so slices of a batch parse on separate threads. A listing keeps only
// each file's outline: freeing the files there, in parallel, took as long as reading the jar.
JarFileClassLoader::ParsedBatch JarFileClassLoader::parseBatch(std::vector<RawEntry> entries,
                                                               bool outlineOnly)
{
    const int count = int(entries.size());
    std::vector<std::unique_ptr<JavaClassFile>> files(entries.size());
    std::vector<ClassFileOutline> outlines(outlineOnly ? entries.size() : 0);
    auto parseSlice = [&](int begin, int end) {
        for (int i = begin; i < end; ++i) {
            files[i].reset(JavaClassFile::create(entries[i].bytes));
            if (outlineOnly) {
                outlines[i] = ClassFileOutline(*files[i]);
                files[i].reset();
            }
        }
    };
    const int threads = std::clamp(QThread::idealThreadCount(), 1, 8);
    const int slice = (count + threads - 1) / threads;
    std::vector<std::future<void>> helpers;
    for (int begin = slice; begin < count; begin += slice)
        helpers.push_back(
            std::async(std::launch::async, parseSlice, begin, std::min(begin + slice, count)));
    parseSlice(0, std::min(slice, count));
    for (auto &helper : helpers)
        helper.get();
    ParsedBatch batch;
    for (const RawEntry &entry : entries)
        batch.positions.push_back(entry.position);
    batch.files = std::move(files);
    batch.outlines = std::move(outlines);
    return batch;
}

JarFileClassLoader::JarFileClassLoader(const QString &path)
    : path(path)
    , reader(std::make_unique<JarFileReader>(path))
{
}

JarFileClassLoader::~JarFileClassLoader() = default;

QByteArray JarFileClassLoader::readClassData(const QString &name)
{
    return reader->readClass(name);
}

void JarFileClassLoader::loadAllClasses()
{
    int next = 0; // position of the next name whose turn it is to be loaded
    std::vector<RawEntry> filling;
    int fillingBytes = 0;
    std::future<ParsedBatch> parsing;
    reader->readAllClasses([&](int position, const QByteArray &bytes) {
        filling.push_back({ position, bytes });
        fillingBytes += bytes.size();
        if (fillingBytes < batchBytes && int(filling.size()) < batchEntries)
            return;
        if (parsing.valid())
            acceptBatch(parsing.get(), next);
        parsing = std::async(std::launch::async, parseBatch, std::move(filling), isListing());
        filling.clear();
        fillingBytes = 0;
    });
    if (parsing.valid())
        acceptBatch(parsing.get(), next);
    acceptBatch(parseBatch(std::move(filling), isListing()), next);
    loadUpTo(getClassNames().size(), next);
}

// Defines the batch's classes in archive order, exactly as one loadClass per name would: names
// before each entry that the pass did not deliver (repeated names, unreadable entries) are loaded
// one by one first, and a name already kept keeps its class.
void JarFileClassLoader::acceptBatch(ParsedBatch batch, int &next)
{
    for (size_t i = 0; i < batch.files.size(); ++i) {
        const int position = batch.positions[i];
        loadUpTo(position, next);
        const QString &name = getClassNames().at(position);
        if (!isKept(name) && batch.outlines.empty())
            keep(name, acceptClassFile(name, batch.files[i].release()));
        else if (!isKept(name))
            keepOutline(name, batch.outlines[i]);
        next = position + 1;
    }
}

void JarFileClassLoader::loadUpTo(int position, int &next)
{
    for (; next < position; ++next)
        loadToKeep(getClassNames().at(next));
}
