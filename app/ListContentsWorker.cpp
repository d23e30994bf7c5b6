#include "app/ListContentsWorker.h"

#include "base/PrintableText.h"
#include "loader/ClassLoader.h"

#include <cstdio>
#include <memory>

ListContentsWorker::ListContentsWorker(const Classpath &classpath, QObject *parent)
    : Worker(parent)
    , classpath(classpath)
{
}

void ListContentsWorker::doWork()
{
    std::unique_ptr<ClassLoader> chain(ClassLoader::create(classpath));
    const QMultiMap<QString, QString> names = chain->listAllClasses();
    // The listing is the command's output, not a log message: straight to standard output, one
    // flushed line per class so that it interleaves sensibly with warnings printed there.
    for (const QString &name : names) {
        const QByteArray line = PrintableText::escape(name).toLocal8Bit() + '\n';
        std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
        std::fflush(stdout);
    }
}
