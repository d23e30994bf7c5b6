#include "support/Golden.h"
#include "support/Files.h"

#include <QFile>
#include <QSaveFile>

#include <gtest/gtest.h>

void Golden::expectEqual(const QString &name, const QByteArray &actual)
{
    const QString path = testDataPath(name);
    if (qEnvironmentVariableIntValue("JCT_UPDATE_GOLDEN") == 1) {
        QSaveFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly) && out.write(actual) == actual.size()
                    && out.commit())
            << path.toStdString();
        return;
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString() << " is missing";
    // As strings, so that a failure shows the lines that differ.
    EXPECT_EQ(actual.toStdString(), file.readAll().toStdString())
        << "golden file " << path.toStdString();
}
