// Text file codec: file bytes to editable text and back, without changing what was not edited.
//
// A file is read as UTF-8 when it is valid UTF-8 (a byte-order mark is remembered), otherwise
// as Latin-1, which maps every byte to one character and back. Its line ends are CR LF when
// every line break in it is CR LF, otherwise LF; the editor sees LF only. Encoding the text
// again with the same TextEncoding gives the original bytes for any file with consistent
// line ends; a document that was not changed is written from its original bytes anyway.
#pragma once

#include <QByteArray>
#include <QString>

struct TextEncoding {
  bool utf8 = true;
  bool byteOrderMark = false;
  bool crlf = false;
};

struct DecodedText {
  QString text;
  TextEncoding encoding;
};

DecodedText decodeText(const QByteArray& bytes);
QByteArray encodeText(const QString& text, const TextEncoding& encoding);
