// HelpWindow: the user guide, shown from Help > Content and Help > Search.
//
// The pages ship inside the program (resources/help). The left side has the contents and a
// search tab: typing a word narrows the keyword list and lists the pages that hold every
// typed word; choosing one shows it on the right.
#pragma once

#include <QWidget>
#include <memory>

class HelpIndex;
class QLineEdit;
class QListWidget;
class QTabWidget;
class QTextBrowser;

class HelpWindow : public QWidget {
  Q_OBJECT

 public:
  static constexpr const char* kPagesFolder = ":/help";

  explicit HelpWindow(QWidget* parent = nullptr);
  ~HelpWindow() override;

  void showContents();
  void showSearch();
  void showPage(const QString& fileName);

  QTextBrowser* browser() const { return browser_; }
  QLineEdit* searchField() const { return searchField_; }
  QListWidget* searchResults() const { return results_; }

 private:
  QWidget* createContentsTab();
  QWidget* createSearchTab();
  void updateSearch(const QString& text);
  void present();

  std::unique_ptr<HelpIndex> index_;
  QTabWidget* tabs_ = nullptr;
  QListWidget* contents_ = nullptr;
  QLineEdit* searchField_ = nullptr;
  QListWidget* keywords_ = nullptr;
  QListWidget* results_ = nullptr;
  QTextBrowser* browser_ = nullptr;
};
