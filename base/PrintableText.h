#pragma once

#include <QString>
#include <QStringView>
#include <ostream>
#include <string>
#include <string_view>

/// Names and messages go out one per line (log.txt, results.txt, reports, listings) and come
/// from files that anybody can write: their control characters are shown as escapes, so that a
/// name can never end a line early, forge one or reorder what a reader sees. \n, \r and \t
/// keep their short forms, the other C0 controls and DEL read \xHH, the C1 controls, the Unicode
/// line and paragraph separators and the bidirectional controls \uHHHH; a byte of a name that is
/// not UTF-8 reads \xHH too (FileNameCodec keeps it in text as a lone surrogate); everything
/// else, backslashes included, is kept as it is.
namespace PrintableText {

QString escape(const QString &text);
/// Whether escape(text) is the text itself.
bool isPlain(QStringView text);

/// The same for text in UTF-8; bytes that are not part of well-formed UTF-8 read \xHH.
std::string escape(const std::string &text);

/// Writes escape(text) without building the escaped copy.
void write(std::ostream &out, std::string_view text);

} // namespace PrintableText
