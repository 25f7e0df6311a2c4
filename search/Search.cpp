#include "Search.h"

#include "shell/Main.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QVBoxLayout>

namespace qel {

TfrmSearch* frmSearch = nullptr;

namespace {

template <class Field> Field* AddPage(QTabWidget* pages, const char* caption) {
  auto* page = new QWidget(pages);
  auto* layout = new QVBoxLayout(page);
  auto* field = new Field(page);
  layout->addWidget(field);
  layout->addStretch(1);
  pages->addTab(page, caption);
  return field;
}

} // namespace

TfrmSearch::TfrmSearch(QWidget* owner) : QWidget(owner, Qt::Window | Qt::WindowStaysOnTopHint) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle("Search");
  auto* layout = new QVBoxLayout(this);
  SearchKind = new QTabWidget(this);
  cbGlobalText1 = AddPage<QComboBox>(SearchKind, "Global");
  cbGlobalText1->setEditable(true);
  edt_notecaption = AddPage<QLineEdit>(SearchKind, "Notes");
  edt_sheetcaption = AddPage<QLineEdit>(SearchKind, "Sheets");
  edt_attachmentcaption = AddPage<QLineEdit>(SearchKind, "Attachments");
  layout->addWidget(SearchKind);
  if (QELMain)
    connect(QELMain, &TQELMain::ProjectReleasing, this, [this](TContainer* project) {
      if (Container == project) Container = nullptr;
    });
}

TfrmSearch::~TfrmSearch() {
  if (frmSearch == this) frmSearch = nullptr;
}

void TfrmSearch::SetContainer(TContainer* container) { Container = container; }

void TfrmSearch::SelectSearchKind(int kind) { SearchKind->setCurrentIndex(kind); }

} // namespace qel
