#pragma once

#include <QByteArray>
#include <QString>

/// Whole contents of a file; empty when it cannot be read.
QByteArray readFile(const QString &path);
/// Writes a file whole, failing the calling test when it cannot.
void writeFile(const QString &path, const QByteArray &bytes);
/// The path of tests/data/<name>.
QString testDataPath(const QString &name);
