#include "app/help_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "app/help_index.h"

HelpWindow::HelpWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), index_(std::make_unique<HelpIndex>(kPagesFolder)) {
  setWindowTitle("Torvak Help");
  tabs_ = new QTabWidget;
  tabs_->addTab(createContentsTab(), "Contents");
  tabs_->addTab(createSearchTab(), "Search");
  browser_ = new QTextBrowser;
  browser_->setObjectName("helpBrowser");
  browser_->setSearchPaths({kPagesFolder});
  browser_->setOpenExternalLinks(true);
  auto* splitter = new QSplitter;
  splitter->addWidget(tabs_);
  splitter->addWidget(browser_);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({230, 620});
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(splitter);
  resize(900, 640);
}

HelpWindow::~HelpWindow() = default;

QWidget* HelpWindow::createContentsTab() {
  contents_ = new QListWidget;
  contents_->setObjectName("helpContents");
  for (const HelpPage& page : index_->contents()) {
    auto* item = new QListWidgetItem(page.title, contents_);
    item->setData(Qt::UserRole, page.fileName);
  }
  connect(contents_, &QListWidget::itemActivated, this,
          [this](QListWidgetItem* item) { showPage(item->data(Qt::UserRole).toString()); });
  connect(contents_, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { showPage(item->data(Qt::UserRole).toString()); });
  return contents_;
}

QWidget* HelpWindow::createSearchTab() {
  auto* tab = new QWidget;
  searchField_ = new QLineEdit;
  searchField_->setObjectName("helpSearchField");
  searchField_->setPlaceholderText("Type a keyword");
  keywords_ = new QListWidget;
  keywords_->setObjectName("helpKeywords");
  keywords_->addItems(index_->allKeywords());
  results_ = new QListWidget;
  results_->setObjectName("helpSearchResults");
  auto* layout = new QVBoxLayout(tab);
  layout->addWidget(searchField_);
  layout->addWidget(keywords_, 2);
  layout->addWidget(new QLabel("Pages found:"));
  layout->addWidget(results_, 1);
  connect(searchField_, &QLineEdit::textChanged, this, &HelpWindow::updateSearch);
  connect(keywords_, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { searchField_->setText(item->text()); });
  auto open = [this](QListWidgetItem* item) { showPage(item->data(Qt::UserRole).toString()); };
  connect(results_, &QListWidget::itemActivated, this, open);
  connect(results_, &QListWidget::itemClicked, this, open);
  return tab;
}

void HelpWindow::updateSearch(const QString& text) {
  for (int i = 0; i < keywords_->count(); ++i) {
    QListWidgetItem* item = keywords_->item(i);
    item->setHidden(!item->text().startsWith(text.trimmed(), Qt::CaseInsensitive));
  }
  results_->clear();
  for (const QString& fileName : index_->search(text)) {
    for (const HelpPage& page : index_->contents()) {
      if (page.fileName != fileName) continue;
      auto* item = new QListWidgetItem(page.title, results_);
      item->setData(Qt::UserRole, page.fileName);
    }
  }
  if (results_->count() > 0) showPage(results_->item(0)->data(Qt::UserRole).toString());
}

void HelpWindow::showPage(const QString& fileName) { browser_->setSource(QUrl(fileName)); }

void HelpWindow::present() {
  show();
  raise();
  activateWindow();
}

void HelpWindow::showContents() {
  tabs_->setCurrentIndex(0);
  if (!index_->contents().isEmpty()) {
    contents_->setCurrentRow(0);
    showPage(index_->contents().first().fileName);
  }
  present();
}

void HelpWindow::showSearch() {
  tabs_->setCurrentIndex(1);
  searchField_->clear();
  present();
  searchField_->setFocus();
}
