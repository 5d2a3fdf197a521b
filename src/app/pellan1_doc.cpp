#include "app/pellan1_doc.h"

#include <QFile>
#include <QFileInfo>
#include <QPlainTextDocumentLayout>
#include <QTextCursor>
#include <QTextDocument>

#include "params/replace_file.h"

namespace {

// The document's text as the user typed it: QTextDocument keeps a paragraph separator
// between blocks, and plain-text export would also turn no-break spaces into spaces.
QString rawText(const QTextDocument* document) {
  QString text = document->toRawText();
  text.replace(QChar::ParagraphSeparator, '\n');
  return text;
}

}  // namespace

CPellan1Doc::CPellan1Doc(QObject* parent) : QObject(parent), text_(new QTextDocument(this)) {
  text_->setDocumentLayout(new QPlainTextDocumentLayout(text_));
}

void CPellan1Doc::setTitle(const QString& title) {
  title_ = title;
  emit titleChanged(title_);
}

bool CPellan1Doc::isModified() const { return text_->isModified(); }

void CPellan1Doc::setModified(bool modified) { text_->setModified(modified); }

QString CPellan1Doc::promptName() const {
  if (!path_.isEmpty()) return path_;
  return title_.isEmpty() ? QString("Untitled") : title_;
}

bool CPellan1Doc::openFile(const QString& path, QString* error) {
  QFile file(path);
  if (QFileInfo(path).isDir()) {
    *error = "it is a folder";
    return false;
  }
  if (!file.open(QIODevice::ReadOnly)) {
    *error = file.errorString();
    return false;
  }
  if (file.size() > kMaxFileSize) {
    *error = "the file is too large for an edit window";
    return false;
  }
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    *error = file.errorString();
    return false;
  }
  const DecodedText decoded = decodeText(bytes);
  encoding_ = decoded.encoding;
  text_->setPlainText(decoded.text);
  text_->setModified(false);
  savedBytes_ = bytes;
  hasSavedBytes_ = true;
  path_ = QFileInfo(path).absoluteFilePath();
  setTitle(QFileInfo(path).fileName());
  return true;
}

bool CPellan1Doc::saveFile(const QString& path, QString* error) {
  const QByteArray bytes =
      !isModified() && hasSavedBytes_ ? savedBytes_ : encodeText(rawText(text_), encoding_);
  const QFileInfo info(path);
  // A regular file is replaced atomically; a device or pipe is written in place.
  const std::string failure =
      replaceFileContents(QFile::encodeName(path).toStdString(), bytes.toStdString());
  if (!failure.empty()) {
    *error = QString::fromStdString(failure);
    return false;
  }
  savedBytes_ = bytes;
  hasSavedBytes_ = true;
  text_->setModified(false);
  path_ = info.absoluteFilePath();
  setTitle(info.fileName());
  return true;
}

void CPellan1Doc::appendReportText(const QString& text) {
  QString plain = text;
  plain.replace("\r\n", "\n");
  // Report text is no edit of the user's: keep it out of the undo history.
  text_->setUndoRedoEnabled(false);
  QTextCursor end(text_);
  end.movePosition(QTextCursor::End);
  end.insertText(plain);
  text_->setUndoRedoEnabled(true);
  text_->setModified(true);
}
