#pragma once

#include <QByteArray>
#include <QString>

/// Long expected texts live in files under tests/data/ rather than in the tests.
namespace Golden {

/// Expects actual to equal tests/data/<name> byte for byte. With JCT_UPDATE_GOLDEN=1 in the
/// environment the file is written from actual instead, to be reviewed as a change of the tree.
void expectEqual(const QString &name, const QByteArray &actual);

} // namespace Golden
