#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

/// Long expected texts live in files under tests/data/ rather than in the tests.
namespace Golden {

/// Expects actual to equal tests/data/<name> byte for byte. With JCT_UPDATE_GOLDEN=1 in the
/// environment the file is written from actual instead, to be reviewed as a change of the tree.
void expectEqual(const QString &name, const QByteArray &actual);

/// A table of questions and answers under tests/data/: each line "QUESTION: ANSWER" or a "#"
/// comment. Every question, split at spaces, is answered again, and the table must come out the
/// same.
void expectAnswered(const QString &name,
                    const std::function<QString(const QStringList &question)> &answer);

} // namespace Golden
