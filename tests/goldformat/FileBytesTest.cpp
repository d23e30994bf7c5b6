#include "goldformat/FileBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

// Files read one after another share memory: each keeps its own bytes, however the sizes fall,
// and a file whose copies outlive the others keeps them too.
TEST(FileBytes, FilesReadOneAfterAnotherKeepTheirOwnBytes)
{
    std::vector<FileBytes> files;
    for (int size : { 0, 1, 63, 64, 65, 4096, 3 << 20, 7 })
        files.push_back(FileBytes::withRoomFor(size));
    for (size_t i = 0; i < files.size(); ++i)
        std::fill_n(files[i].data(), files[i].size(), char('a' + i));
    const FileBytes kept = files[5];
    files.erase(files.begin(), files.begin() + 5);
    files.push_back(FileBytes::withRoomFor(100));
    std::fill_n(files.back().data(), 100, 'z');
    EXPECT_EQ(kept.view(), QByteArray(4096, 'f'));
    EXPECT_EQ(files[0].view(), kept.view());
    EXPECT_EQ(files[1].view(), QByteArray(3 << 20, 'g'));
    EXPECT_EQ(files[2].view(), QByteArray(7, 'h'));
    EXPECT_EQ(files[3].view(), QByteArray(100, 'z'));
}

// The largest gold file there may be takes a region of its own to its last byte, and the next
// file finds room elsewhere.
TEST(FileBytes, AFileOfTheLargestSizeHasRoomForEveryByte)
{
    const int largest = 64 << 20;
    FileBytes small = FileBytes::withRoomFor(10);
    FileBytes large = FileBytes::withRoomFor(largest);
    FileBytes next = FileBytes::withRoomFor(10);
    for (FileBytes *file : { &small, &large, &next }) {
        file->data()[0] = 'x';
        file->data()[file->size() - 1] = 'y';
    }
    EXPECT_EQ(large.size(), largest);
    EXPECT_EQ(large.constData()[largest - 1], 'y');
    EXPECT_EQ(small.view(), QByteArray("x") + QByteArray(8, '\0') + "y");
    EXPECT_TRUE(next.constData() + 10 <= large.constData()
                || next.constData() >= large.constData() + largest);
}

} // namespace
