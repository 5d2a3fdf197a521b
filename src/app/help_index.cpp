#include "app/help_index.h"

#include <QFile>
#include <QRegularExpression>
#include <algorithm>

namespace {

QString readText(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return QString();
  return QString::fromUtf8(file.readAll());
}

QString plainWords(QString html) {
  html.remove(
      QRegularExpression("<head>.*</head>", QRegularExpression::DotMatchesEverythingOption));
  html.replace(QRegularExpression("<[^>]*>"), " ");
  html.replace("&lt;", "<").replace("&gt;", ">").replace("&amp;", "&");
  return html.simplified().toLower();
}

HelpPage readPage(const QString& folder, const QString& fileName) {
  HelpPage page;
  page.fileName = fileName;
  const QString html = readText(folder + "/" + fileName);
  const auto title = QRegularExpression("<title>(.*?)</title>").match(html);
  page.title = title.hasMatch() ? title.captured(1).trimmed() : fileName;
  const auto keywords =
      QRegularExpression("<meta\\s+name=\"keywords\"\\s+content=\"([^\"]*)\"").match(html);
  if (keywords.hasMatch()) {
    for (const QString& word : keywords.captured(1).split(',', Qt::SkipEmptyParts)) {
      page.keywords.append(word.trimmed());
    }
  }
  page.text = plainWords(html);
  return page;
}

// Lower case, with "-" and "_" read as blanks: "Row_Skip", "row-skip" and "row skip" match.
QString searchForm(const QString& text) {
  QString form = text.toLower();
  form.replace('-', ' ').replace('_', ' ');
  return form.simplified();
}

}  // namespace

// The pages are compiled into the static GUI library; register them before the first read.
static void registerHelpPages() { Q_INIT_RESOURCE(help); }

HelpIndex::HelpIndex(const QString& folder) {
  registerHelpPages();
  const QStringList names = readText(folder + "/index.txt").split('\n', Qt::SkipEmptyParts);
  for (const QString& name : names) {
    if (!name.trimmed().isEmpty()) pages_.append(readPage(folder, name.trimmed()));
  }
}

QStringList HelpIndex::search(const QString& query) const {
  const QString phrase = searchForm(query);
  const QStringList words = phrase.split(' ', Qt::SkipEmptyParts);
  if (words.isEmpty()) return {};
  struct Hit {
    int rank;
    QString fileName;
  };
  QList<Hit> hits;
  for (const HelpPage& page : pages_) {
    const QString text = searchForm(page.text);
    QStringList keywords;
    for (const QString& keyword : page.keywords) keywords.append(searchForm(keyword));
    const QString heading = searchForm(page.title) + " " + keywords.join(" ");
    // A keyword equal to the query beats the words in the title and keywords, which beat
    // words found only in the text.
    int rank = keywords.contains(phrase) ? 10 : 0;
    bool all = true;
    for (const QString& word : words) {
      if (heading.contains(word))
        rank += 2;
      else if (text.contains(word))
        rank += 1;
      else
        all = false;
    }
    if (all) hits.append({rank, page.fileName});
  }
  std::stable_sort(hits.begin(), hits.end(),
                   [](const Hit& a, const Hit& b) { return a.rank > b.rank; });
  QStringList result;
  for (const Hit& hit : hits) result.append(hit.fileName);
  return result;
}

QStringList HelpIndex::allKeywords() const {
  QStringList result;
  for (const HelpPage& page : pages_) result.append(page.keywords);
  result.removeDuplicates();
  std::sort(result.begin(), result.end(), [](const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) < 0;
  });
  return result;
}
