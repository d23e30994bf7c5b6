#include "support/Golden.h"
#include "support/Files.h"

#include <QFile>
#include <QSaveFile>

#include <gtest/gtest.h>

void Golden::expectAnswered(const QString &name,
                            const std::function<QString(const QStringList &question)> &answer)
{
    QString out;
    for (const QString &line :
         QString(readFile(testDataPath(name))).split('\n', Qt::SkipEmptyParts)) {
        const QString question = line.section(": ", 0, 0);
        out += (line.startsWith('#') ? line : question + ": " + answer(question.split(' '))) + '\n';
    }
    expectEqual(name, out.toUtf8());
}

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
