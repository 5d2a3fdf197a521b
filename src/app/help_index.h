// HelpIndex: the help pages and a keyword search over them.
//
// The pages are HTML files with a <title> and, optionally, <meta name="keywords"
// content="a, b, c">. contents() lists them in the order of the index file ("index.txt", one
// file name per line). search() finds the pages that hold every word of a query, in their
// keywords, title or text (letter case ignored); pages whose keywords or title match come
// first.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

struct HelpPage {
  QString fileName;
  QString title;
  QStringList keywords;
  QString text;  // the page's words without markup, lower case
};

class HelpIndex {
 public:
  // Reads index.txt and the pages it names from folder (a file path or a ":/" resource path).
  explicit HelpIndex(const QString& folder);

  const QList<HelpPage>& contents() const { return pages_; }
  QStringList search(const QString& query) const;  // file names, best first
  // Every keyword of every page, sorted, for the search list.
  QStringList allKeywords() const;

 private:
  QList<HelpPage> pages_;
};
