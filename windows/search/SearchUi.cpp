// The search window's components.
#include "Search.h"
#include "SearchColorPanel.h"
#include "SearchResultsTree.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace qel {
namespace {

constexpr const char* kOrHint = "Space between words will be treated as logical 'OR'";

template <class T> T* Place(T* widget, int left, int top, int width = -1, int height = -1) {
  if (width < 0)
    widget->move(left, top);
  else
    widget->setGeometry(left, top, width, height);
  return widget;
}

void AddLabel(QWidget* page, const char* text, int left, int top) {
  auto* label = new QLabel(text, page);
  label->adjustSize();
  label->move(left, top);
}

// At least as large as the platform's box and text need.
QCheckBox* AddCaseBox(QWidget* page, int left, int top, int width) {
  auto* box = new QCheckBox(" Case sensitive", page);
  return Place(box, left, top, std::max(width, box->sizeHint().width()), std::max(14, box->sizeHint().height()));
}

// The colour filters stand right of the edit fields, within the window's width.
constexpr int kColorLeft = 170;

QLineEdit* AddEdit(QWidget* page, int top) { return Place(new QLineEdit(page), 5, top, 150, 21); }

QWidget* AddPage(QTabWidget* pages, const char* name) {
  auto* page = new QWidget(pages);
  page->setObjectName(name);
  pages->addTab(page, name);
  return page;
}

TSearchColorPanel* AddColorPanel(QWidget* page, int left, int top, TColor hatch, bool enabled) {
  auto* panel = Place(new TSearchColorPanel(page, hatch), left, top, 45, 35);
  panel->setEnabled(enabled);
  return panel;
}

} // namespace

void TfrmSearch::CreateComponents() {
  QFont small = font();
  small.setPixelSize(11);
  setFont(small);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->setSizeConstraint(QLayout::SetNoConstraint); // the window may be smaller than its fields
  pnl_top = new QWidget(this);
  pnl_top->setFixedHeight(291);
  auto* top = new QVBoxLayout(pnl_top);
  top->setContentsMargins(1, 1, 1, 1);
  top->setSpacing(0);
  SearchKind = new QTabWidget(pnl_top);
  SearchKind->setFixedHeight(216);
  // Every tab shows its whole text; the window is made wide enough for them.
  SearchKind->tabBar()->setUsesScrollButtons(false);
  SearchKind->tabBar()->setElideMode(Qt::ElideNone);
  top->addWidget(SearchKind);
  CreateGlobalPage();
  CreateNotesPage();
  CreateSheetsPage();
  CreateAttachmentsPage();
  CreateButtons();
  top->addWidget(pnl_buttons);
  layout->addWidget(pnl_top, 0, Qt::AlignTop); // at the top also while the tree is hidden
  CreateResultsTree();
  layout->addWidget(trvSearchResults, 1);
  connect(SearchKind, &QTabWidget::currentChanged, this, [this] { SearchKindChange(); });
  for (QLineEdit* edit : {edt_notecaption, edt_notememo, edt_noteonsheetcaption, edt_sheetcaption,
                          edt_attachmentcaption, edt_attachmentfilename})
    connect(edit, &QLineEdit::returnPressed, btn_search, &QPushButton::click);
  for (QComboBox* box : GlobalTexts())
    connect(box->lineEdit(), &QLineEdit::returnPressed, btn_search, &QPushButton::click);
  setTabOrder(btn_search, SearchKind);
}

void TfrmSearch::CreateGlobalPage() {
  Global = AddPage(SearchKind, "Global");
  AddLabel(Global, "Text:", 5, 6);
  chk_globaltextcasesensitive = AddCaseBox(Global, 64, 5, 96);
  std::array<QComboBox*, 4> boxes;
  for (int i = 0; i < 4; ++i) {
    boxes[i] = Place(new QComboBox(Global), 5, 22 + 36 * i, 150, 21);
    boxes[i]->setEditable(true);
    boxes[i]->setInsertPolicy(QComboBox::NoInsert); // the history is extended by a search
    boxes[i]->setToolTip(kOrHint);
    if (i < 3) AddLabel(Global, "and", 5, 44 + 36 * i);
  }
  cbGlobalText1 = boxes[0];
  cbGlobalText2 = boxes[1];
  cbGlobalText3 = boxes[2];
  cbGlobalText4 = boxes[3];
  btnExport = Place(new QPushButton("E&xport results", Global), 6, 158, 147, 22);
  connect(btnExport, &QPushButton::clicked, this, [this] { btnExportClick(); });
  Global->installEventFilter(this);
}

void TfrmSearch::CreateNotesPage() {
  Notes = AddPage(SearchKind, "Notes");
  // The line that parts the note fields from those of the sheets.
  Place(new QFrame(Notes), 0, 103, 400, 2)->setFrameShape(QFrame::HLine);
  AddLabel(Notes, "Caption:", 5, 8);
  edt_notecaption = AddEdit(Notes, 24);
  chk_notecaptioncasesensitive = AddCaseBox(Notes, 65, 7, 97);
  AddLabel(Notes, "Memo:", 5, 58);
  edt_notememo = AddEdit(Notes, 74);
  chk_notememocasesensitive = AddCaseBox(Notes, 65, 57, 97);
  AddLabel(Notes, "Notes on sheets with properties:", 5, 110);
  AddLabel(Notes, "Caption:", 5, 128);
  edt_noteonsheetcaption = AddEdit(Notes, 144);
  chk_noteonsheetcaptioncasesensitive = AddCaseBox(Notes, 65, 127, 97);
  chk_notecolor = Place(new QCheckBox(Notes), kColorLeft, 18, 17, 17);
  pnl_notecolor = AddColorPanel(Notes, kColorLeft + 20, 8, clWhite, false);
  chk_noteonsheetcolor = Place(new QCheckBox(Notes), kColorLeft, 134, 17, 17);
  pnl_noteonsheetcolor = AddColorPanel(Notes, kColorLeft + 20, 124, clWhite, false);
  chk_notecolor->setToolTip("Find only notes of this colour");
  pnl_notecolor->setToolTip("The colour of the notes to find: click to choose it");
  chk_noteonsheetcolor->setToolTip("Find only notes on sheets of this colour");
  pnl_noteonsheetcolor->setToolTip("The colour of the sheets the notes are on: click to choose it");
  connect(chk_notecolor, &QCheckBox::clicked, this, [this] { chk_notecolorClick(); });
  connect(chk_noteonsheetcolor, &QCheckBox::clicked, this, [this] { chk_noteonsheetcolorClick(); });
  connect(pnl_notecolor, &TSearchColorPanel::Clicked, this, [this] { pnl_notecolorDblClick(); });
  connect(pnl_noteonsheetcolor, &TSearchColorPanel::Clicked, this, [this] { pnl_noteonsheetcolorDblClick(); });
}

void TfrmSearch::CreateSheetsPage() {
  Sheets = AddPage(SearchKind, "Sheets");
  AddLabel(Sheets, "Caption:", 5, 8);
  edt_sheetcaption = AddEdit(Sheets, 24);
  chk_sheetcaptioncasesensitive = AddCaseBox(Sheets, 65, 7, 97);
  chk_sheetcolor = Place(new QCheckBox(Sheets), kColorLeft, 22, 17, 17);
  pnl_sheetcolor = AddColorPanel(Sheets, kColorLeft + 20, 12, clBlack, true);
  chk_sheetcolor->setToolTip("Find only sheets of this colour");
  pnl_sheetcolor->setToolTip("The colour of the sheets to find: double-click to choose it");
  connect(chk_sheetcolor, &QCheckBox::clicked, this, [this] { chk_sheetcolorClick(); });
  connect(pnl_sheetcolor, &TSearchColorPanel::DoubleClicked, this, [this] { pnl_sheetcolorDblClick(); });
}

void TfrmSearch::CreateAttachmentsPage() {
  Attachments = AddPage(SearchKind, "Attachments");
  AddLabel(Attachments, "Caption:", 5, 8);
  edt_attachmentcaption = AddEdit(Attachments, 24);
  chk_attachmentcaptioncasesensitive = AddCaseBox(Attachments, 65, 7, 97);
  AddLabel(Attachments, "Filename:", 5, 58);
  edt_attachmentfilename = AddEdit(Attachments, 74);
  chk_attachmentfilenamecasesensitive = AddCaseBox(Attachments, 65, 57, 97);
}

void TfrmSearch::CreateButtons() {
  pnl_buttons = new QWidget(pnl_top);
  pnl_buttons->setFixedHeight(73);
  btn_clear = Place(new QPushButton("&New search", pnl_buttons), 12, 10, 71, 22);
  btn_search = Place(new QPushButton("&Find now", pnl_buttons), 86, 10, 71, 22);
  btn_search->setDefault(true);
  ani_search = Place(new QProgressBar(pnl_buttons), 65, 40, 48, 14);
  ani_search->setRange(0, 0);
  ani_search->setTextVisible(false);
  ani_search->hide();
  connect(btn_clear, &QPushButton::clicked, this, [this] { btn_clearClick(); });
  connect(btn_search, &QPushButton::clicked, this, [this] { btn_searchClick(); });
}

void TfrmSearch::CreateResultsTree() {
  trvSearchResults = new TSearchResultsTree(this);
  trvSearchResults->hide();
  trvSearchResults->StartDrag = [this] { return trvSearchResultsStartDrag(); };
  ME_PopUp = new QMenu(this);
  MI_Open = ME_PopUp->addAction("&Open...");
  connect(MI_Open, &QAction::triggered, this, [this] { MI_OpenClick(); });
  connect(trvSearchResults, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { ME_PopUp->popup(trvSearchResults->viewport()->mapToGlobal(at)); });
  connect(trvSearchResults, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* node) { trvSearchResultsChange(node); });
  connect(trvSearchResults, &QTreeWidget::itemClicked, this, [this] { trvSearchResultsClick(); });
  connect(trvSearchResults, &QTreeWidget::itemDoubleClicked, this, [this] { trvSearchResultsDblClick(); });
}

// The global fields follow the page's width; the case box keeps to its right edge.
bool TfrmSearch::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Global && event->type() == QEvent::Resize) {
    const int width = Global->width();
    for (QComboBox* box : GlobalTexts())
      box->resize(std::max(40, width - 13), box->height());
    const int left = width - chk_globaltextcasesensitive->width() - 3;
    chk_globaltextcasesensitive->move(std::max(5, left), chk_globaltextcasesensitive->y());
  }
  return QWidget::eventFilter(watched, event);
}

int TfrmSearch::NeededWidth() const {
  const int fields = kColorLeft + 20 + 45 + 4; // the colour panels and the page's frame
  return std::max(SearchKind->tabBar()->sizeHint().width(), fields) + 4;
}

std::array<QComboBox*, 4> TfrmSearch::GlobalTexts() const {
  return {cbGlobalText1, cbGlobalText2, cbGlobalText3, cbGlobalText4};
}

} // namespace qel
