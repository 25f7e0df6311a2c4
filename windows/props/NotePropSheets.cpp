// The note window's "&Sheets" page: the sheets the note belongs to and the others.
#include "NoteProp.h"
#include "model/Container.h"
#include "platform/qt/QtConvert.h"
#include "windows/MainServices.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

namespace qel {
namespace {

TDragView<QListWidget>* SheetList(QWidget* parent) {
  auto* list = new TDragView<QListWidget>(parent);
  list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list->setAcceptDrops(true);
  return list;
}

QWidget* ListHeader(QWidget* parent, const char* label, QPushButton*& sort) {
  auto* header = new QWidget(parent);
  auto* row = new QHBoxLayout(header);
  row->setContentsMargins(2, 2, 2, 2);
  row->addWidget(new QLabel(label, header), 1);
  sort = new QPushButton("Sort", header);
  row->addWidget(sort);
  return header;
}

// One pane of the splitter: a header with its sort button above a list of sheets.
TDragView<QListWidget>* SheetPane(QSplitter* splitter, const char* label, QPushButton*& sort) {
  auto* pane = new QWidget(splitter);
  auto* column = new QVBoxLayout(pane);
  column->setContentsMargins(0, 0, 0, 0);
  column->addWidget(ListHeader(pane, label, sort));
  TDragView<QListWidget>* list = SheetList(pane);
  column->addWidget(list, 1);
  return list;
}

} // namespace

void TNotePrp::CreateSheetsPage() {
  TabSheet1 = new QWidget(PC_Note);
  PC_Note->addTab(TabSheet1, "&Sheets");
  SheetsSplitter = new QSplitter(Qt::Vertical, TabSheet1);
  lst_presentinsheets = SheetPane(SheetsSplitter, "Note present in Sheets:", BitBtn1Sort);
  lst_availablesheets = SheetPane(SheetsSplitter, "Available Sheets:", BitBtn2Sort);
  auto* column = new QVBoxLayout(TabSheet1);
  column->setContentsMargins(0, 0, 0, 0);
  column->addWidget(SheetsSplitter);
  // The drop side takes the dragging list's selected entries.
  for (auto* list : {lst_presentinsheets, lst_availablesheets})
    list->OnStartDrag = [] {
      auto* data = new QMimeData;
      data->setData("application/x-qel-sheet-entries", {});
      return data;
    };
  lst_presentinsheets->OnDragOver = [this](QObject* source, const QMimeData*) {
    return lst_presentinsheetsDragOver(source);
  };
  lst_availablesheets->OnDragOver = [this](QObject* source, const QMimeData*) {
    return lst_availablesheetsDragOver(source);
  };
  lst_presentinsheets->OnDragDrop = [this](QObject*, const QMimeData*) { lst_presentinsheetsDragDrop(); };
  lst_availablesheets->OnDragDrop = [this](QObject*, const QMimeData*) { lst_availablesheetsDragDrop(); };
  connect(lst_presentinsheets, &QListWidget::itemDoubleClicked, this, &TNotePrp::lst_presentinsheetsDblClick);
  connect(lst_availablesheets, &QListWidget::itemDoubleClicked, this, &TNotePrp::lst_availablesheetsDblClick);
  connect(BitBtn1Sort, &QPushButton::clicked, this, &TNotePrp::bnNotePresInSheetsSortAlphaClick);
  connect(BitBtn2Sort, &QPushButton::clicked, this, &TNotePrp::bnAvailSheetSortAlphaClick);
}

void TNotePrp::FillSheetLists() {
  lst_presentinsheets->clear();
  lst_availablesheets->clear();
  FSheets.clear();
  const TNoteItem* note = Note.Get();
  if (!Container || !note) return;
  for (int i = 0; i < Container->SheetCount(); ++i) {
    TSheetItem* sheet = Container->GetSheet(i);
    const bool present = note->IsAssignedTo(sheet) || note->IsPlacedOn(sheet);
    AddSheetEntry(present ? lst_presentinsheets : lst_availablesheets, sheet);
  }
}

void TNotePrp::AddSheetEntry(QListWidget* list, TSheetItem* sheet) {
  auto* entry = new QListWidgetItem(ToQString(sheet->Data.Name));
  entry->setData(Qt::UserRole, static_cast<int>(FSheets.size()));
  FSheets.emplace_back(sheet);
  list->addItem(entry);
}

TSheetItem* TNotePrp::SheetOf(const QListWidgetItem* entry) const {
  const int index = entry->data(Qt::UserRole).toInt();
  return index >= 0 && index < static_cast<int>(FSheets.size()) ? FSheets[index].Get() : nullptr;
}

std::vector<TSheetItem*> TNotePrp::MoveSelected(QListWidget* from, QListWidget* to) {
  std::vector<TSheetItem*> sheets;
  for (int row = from->count() - 1; row >= 0; --row) {
    if (!from->item(row)->isSelected()) continue;
    QListWidgetItem* entry = from->takeItem(row);
    if (TSheetItem* sheet = SheetOf(entry)) sheets.push_back(sheet);
    entry->setSelected(false);
    to->addItem(entry);
  }
  return sheets;
}

void TNotePrp::lst_presentinsheetsDragDrop() {
  if (CloseIfGone()) return;
  TNoteItem* note = Note.Get();
  if (!Container) return;
  for (TSheetItem* sheet : MoveSelected(lst_availablesheets, lst_presentinsheets))
    Container->AssignNoteToSheet(note, sheet);
  if (!MainServices) return;
  MainServices->RefreshNavigators(nullptr);
  MainServices->RefreshSheetWindows(); // other windows of the note and of the sheets list it
}

void TNotePrp::lst_availablesheetsDragDrop() {
  if (CloseIfGone()) return;
  TNoteItem* note = Note.Get();
  if (!Container) return;
  for (TSheetItem* sheet : MoveSelected(lst_presentinsheets, lst_availablesheets))
    if (TPosItem* position = Container->FindPosition(note, sheet)) position->Delete();
  if (!MainServices) return;
  MainServices->RefreshNavigators(nullptr);
  MainServices->RefreshSheetWindows();
}

void TNotePrp::bnNotePresInSheetsSortAlphaClick() {
  FPresentSorted = !FPresentSorted;
  lst_presentinsheets->setSortingEnabled(FPresentSorted);
}

void TNotePrp::bnAvailSheetSortAlphaClick() {
  FAvailableSorted = !FAvailableSorted;
  lst_availablesheets->setSortingEnabled(FAvailableSorted);
}

} // namespace qel
