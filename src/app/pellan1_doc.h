// CPellan1Doc: one plain-text document, shared by every view that shows it.
//
// The text lives in one QTextDocument that all views of the document display, so an edit in
// one window shows in every other. A document read from a file is written back byte for byte
// while unchanged, and otherwise in the file's own encoding and line ends (text_file_codec.h).
// The document dies with its last view.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include "app/text_file_codec.h"

class QTextDocument;

class CPellan1Doc : public QObject {
  Q_OBJECT

 public:
  // Files above this size are refused: an edit window is no place for them.
  static constexpr qint64 kMaxFileSize = 64LL * 1024 * 1024;

  explicit CPellan1Doc(QObject* parent = nullptr);

  QTextDocument* textDocument() const { return text_; }
  const QString& pathName() const { return path_; }
  const QString& title() const { return title_; }
  void setTitle(const QString& title);
  bool isModified() const;
  void setModified(bool modified);

  // The name the save prompt uses: the path, or the title, or "Untitled".
  QString promptName() const;

  // An output window's document: the parameter file of the run whose report it shows.
  const QString& runParameterFile() const { return runParameterFile_; }
  void setRunParameterFile(const QString& path) { runParameterFile_ = path; }

  // Reads path into the document; on failure returns false with the reason in *error.
  bool openFile(const QString& path, QString* error);
  // Writes the document to path and makes it the document's file; false with a reason.
  bool saveFile(const QString& path, QString* error);

  // Report text of a run, added at the end of the text without an undo record and without
  // moving any view's caret or selection (unless a caret stands at the very end).
  void appendReportText(const QString& text);

 signals:
  void titleChanged(const QString& title);

 private:
  QTextDocument* text_;
  QString path_;
  QString title_;
  QString runParameterFile_;
  TextEncoding encoding_;
  QByteArray savedBytes_;  // the file's bytes while the text matches them
  bool hasSavedBytes_ = false;
};
