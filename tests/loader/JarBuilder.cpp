#include "JarBuilder.h"

#include <QFile>
#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>

void JarBuilder::write(const QString &file) const
{
    archive *zip = archive_write_new();
    ASSERT_EQ(tar ? archive_write_set_format_pax_restricted(zip)
                  : archive_write_set_format_zip(zip),
              ARCHIVE_OK);
    ASSERT_EQ(archive_write_open_filename(zip, file.toLocal8Bit().constData()), ARCHIVE_OK);
    for (const Entry &entry : entries) {
        archive_entry *header = archive_entry_new();
        archive_entry_set_pathname(header, entry.path.toLatin1().constData());
        archive_entry_set_filetype(header, entry.directory ? AE_IFDIR : AE_IFREG);
        archive_entry_set_perm(header, 0644);
        archive_entry_set_size(header, entry.data.size());
        EXPECT_EQ(archive_write_header(zip, header), ARCHIVE_OK) << archive_error_string(zip);
        if (!entry.data.isEmpty()) {
            EXPECT_EQ(archive_write_data(zip, entry.data.constData(), size_t(entry.data.size())),
                      entry.data.size());
        }
        archive_entry_free(header);
    }
    EXPECT_EQ(archive_write_close(zip), ARCHIVE_OK);
    archive_write_free(zip);
}
