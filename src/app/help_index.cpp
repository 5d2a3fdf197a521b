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
  html.remove(QRegularExpression("<head>.*</head>", QRegularExpression::DotMatchesEverythingOption));
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

}  // namespace

HelpIndex::HelpIndex(const QString& folder) : folder_(folder) {
  const QStringList names = readText(folder + "/index.txt").split('\n', Qt::SkipEmptyParts);
  for (const QString& name : names) {
    if (!name.trimmed().isEmpty()) pages_.append(readPage(folder, name.trimmed()));
  }
}

QStringList HelpIndex::search(const QString& query) const {
  const QStringList words = query.toLower().split(' ', Qt::SkipEmptyParts);
  if (words.isEmpty()) return {};
  struct Hit {
    int rank;
    int order;
    QString fileName;
  };
  QList<Hit> hits;
  for (int i = 0; i < pages_.size(); ++i) {
    const HelpPage& page = pages_[i];
    const QString heading = (page.title + " " + page.keywords.join(" ")).toLower();
    bool all = true;
    int rank = 0;
    for (const QString& word : words) {
      if (heading.contains(word)) rank += 2;
      else if (page.text.contains(word)) rank += 1;
      else all = false;
    }
    if (all) hits.append({rank, i, page.fileName});
  }
  std::stable_sort(hits.begin(), hits.end(), [](const Hit& a, const Hit& b) { return a.rank > b.rank; });
  QStringList result;
  for (const Hit& hit : hits) result.append(hit.fileName);
  return result;
}

QStringList HelpIndex::allKeywords() const {
  QStringList result;
  for (const HelpPage& page : pages_) result.append(page.keywords);
  result.removeDuplicates();
  std::sort(result.begin(), result.end(),
            [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
  return result;
}
