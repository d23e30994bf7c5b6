#include "goldformat/FileBytes.h"

#include <QMutex>

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <new>

namespace {

constexpr size_t hugePageBytes = size_t(2) << 20;
// Address space only: what is not touched costs no memory. Enough for every reference gold file
// at once, and for the largest gold file a run reads, so that most runs map one region.
constexpr size_t regionBytes = size_t(64) << 20;
// Each file starts on a cache line of its own.
constexpr size_t alignment = 64;

size_t roundUp(size_t size, size_t unit)
{
    return (size + unit - 1) / unit * unit;
}

/// A region of address space aligned to a huge page, handed out from its start and unmapped as a
/// whole. Only a region that starts on a huge page's boundary can be backed by huge pages.
class Region
{
public:
    explicit Region(size_t bytes)
        : capacity(roundUp(bytes, hugePageBytes))
    {
        const size_t mapped = capacity + hugePageBytes;
        void *start = ::mmap(nullptr,
                             mapped,
                             PROT_READ | PROT_WRITE,
                             MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE,
                             -1,
                             0);
        if (start == MAP_FAILED)
            throw std::bad_alloc();
        const auto address = reinterpret_cast<std::uintptr_t>(start);
        const size_t head = roundUp(address, hugePageBytes) - address;
        begin = static_cast<char *>(start) + head;
        if (head > 0)
            ::munmap(start, head);
        ::munmap(begin + capacity, hugePageBytes - head);
        // Advice only: where the kernel has no huge page to give, 4 KiB pages serve as before.
        ::madvise(begin, capacity, MADV_HUGEPAGE);
    }
    ~Region() { ::munmap(begin, capacity); }
    Region(const Region &) = delete;
    Region &operator=(const Region &) = delete;

    /// Room for size bytes, or null when the region has not that much left.
    char *take(size_t size)
    {
        if (size > capacity - used)
            return nullptr;
        char *room = begin + used;
        used = std::min(capacity, roundUp(used + size, alignment));
        return room;
    }

private:
    size_t capacity;
    char *begin = nullptr;
    size_t used = 0;
};

struct Regions
{
    QMutex mutex;
    std::weak_ptr<Region> current; // guarded by mutex; gone with the last file read into it
};

Regions &regions()
{
    static Regions all;
    return all;
}

} // namespace

FileBytes FileBytes::withRoomFor(int size)
{
    const size_t wanted = size_t(std::max(size, 0));
    Regions &all = regions();
    const QMutexLocker locker(&all.mutex);
    std::shared_ptr<Region> region = all.current.lock();
    char *room = region ? region->take(wanted) : nullptr;
    if (!room) {
        region = std::make_shared<Region>(std::max(wanted, regionBytes));
        all.current = region;
        room = region->take(wanted);
    }
    FileBytes bytes;
    bytes.owner = std::move(region);
    bytes.begin = room;
    bytes.count = int(wanted);
    return bytes;
}
