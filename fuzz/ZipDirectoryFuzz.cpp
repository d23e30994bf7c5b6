// Feeds arbitrary bytes to the jar reader's zip directory as a whole file and reads every entry it
// lists. The reader must neither crash, read outside the file, leak nor hang, and an entry it
// reads holds exactly the size its directory claims.

#include "loader/ZipDirectory.h"

#include <QByteArray>

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// Small enough that a claimed size inflates in a moment, large enough for any seed's classes.
const quint64 maxEntryBytes = 1 << 20;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > size_t(INT_MAX))
        return 0;
    // Copied from the input as asked for: a read outside it is one that AddressSanitizer sees.
    const ZipDirectory::Reader read = [data, size](quint64 offset, quint64 count) {
        if (offset > size)
            return QByteArray();
        const quint64 available = std::min(count, quint64(size) - offset);
        return QByteArray(reinterpret_cast<const char *>(data) + offset, int(available));
    };
    const ZipDirectory directory(read, quint64(size));
    for (const ZipDirectory::Entry &entry : directory.getEntries()) {
        entry.getName();
        QString problem;
        const QByteArray bytes = ZipDirectory::readData(read, entry, maxEntryBytes, problem);
        if (!bytes.isNull() && quint64(bytes.size()) != entry.size)
            std::abort();
    }
    return 0;
}
