#include "app/text_file_codec.h"

#include <QStringDecoder>
#include <algorithm>

namespace {

const QByteArray kUtf8Bom("\xEF\xBB\xBF");

bool allBreaksAreCrlf(const QByteArray& bytes) {
  bool sawBreak = false;
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\n') continue;
    if (i == 0 || bytes[i - 1] != '\r') return false;
    sawBreak = true;
  }
  return sawBreak;
}

}  // namespace

DecodedText decodeText(const QByteArray& bytes) {
  DecodedText decoded;
  QByteArray body = bytes;
  if (body.startsWith(kUtf8Bom)) {
    decoded.encoding.byteOrderMark = true;
    body.remove(0, kUtf8Bom.size());
  }
  QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless |
                                                  QStringConverter::Flag::ConvertInitialBom);
  QString text = utf8.decode(body);
  if (utf8.hasError()) {
    decoded.encoding.utf8 = false;
    decoded.encoding.byteOrderMark = false;
    text = QString::fromLatin1(bytes);
  }
  decoded.encoding.crlf = allBreaksAreCrlf(bytes);
  // The editor knows only LF; a lone CR would make a line break of its own anyway.
  text.replace("\r\n", "\n");
  text.replace('\r', '\n');
  decoded.text = text;
  return decoded;
}

QByteArray encodeText(const QString& text, const TextEncoding& encoding) {
  QString withBreaks = text;
  if (encoding.crlf) withBreaks.replace('\n', "\r\n");
  // A Latin-1 file that now holds characters Latin-1 lacks is written as UTF-8: nothing lost.
  const bool fitsLatin1 = std::all_of(withBreaks.cbegin(), withBreaks.cend(),
                                      [](QChar c) { return c.unicode() < 256; });
  if (!encoding.utf8 && fitsLatin1) return withBreaks.toLatin1();
  QByteArray bytes = withBreaks.toUtf8();
  if (encoding.utf8 && encoding.byteOrderMark) bytes.prepend(kUtf8Bom);
  return bytes;
}
