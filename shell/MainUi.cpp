// The main window's components: tool bars, menus, the zoom combo, dialogs, timers and the
// recent-file list.
#include "Main.h"

#include "windows/Icons.h"
#include "adpMRU.h"
#include "platform/qt/QtConvert.h"

#include <QComboBox>
#include <QDrag>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPrinter>
#include <QShortcut>
#include <QTimer>
#include <QToolBar>

namespace qel {
namespace {

// The new-note tile: a drag started on it carries a new note to a sheet.
class TNewNoteTile : public QLabel {
public:
  TNewNoteTile(TQELMain* main, const QIcon& image) : FMain(main) {
    setFixedSize(22, 22);
    setToolTip("Drag and Drop On Sheet");
    auto* block = new QLabel(this); // BlockImage
    block->setGeometry(3, 3, 16, 16);
    block->setPixmap(image.pixmap(16, 16));
    block->setAttribute(Qt::WA_TransparentForMouseEvents);
  }

protected:
  void mousePressEvent(QMouseEvent* event) override { FPress = event->position().toPoint(); }
  void mouseMoveEvent(QMouseEvent* event) override {
    if (!(event->buttons() & Qt::LeftButton)) return;
    if ((event->position().toPoint() - FPress).manhattanLength() < 4) return;
    auto* drag = new QDrag(this);
    drag->setMimeData(FMain->PN_NewNoteStartDrag());
    drag->exec(Qt::CopyAction);
  }

private:
  TQELMain* FMain;
  QPoint FPress;
};

QToolBar* InnerToolBar(QToolBar* main, const char* name) {
  auto* bar = new QToolBar(name, main);
  bar->setObjectName(name);
  bar->setIconSize(QSize(16, 16));
  main->addWidget(bar);
  return bar;
}

} // namespace

void TQELMain::CreateComponents() {
  IL_QELMain = ToolBarImages();
  IL_Nav = NavigatorImages();
  CreateToolBars();
  CreateMenus();

  OpenDialog.DefaultExt = "qel";
  OpenDialog.Filter = "QEL Projects (*.qel)|*.qel";
  OpenDialog.FileMustExist = true;
  SaveDialog.DefaultExt = "qel";
  SaveDialog.Filter = "QEL Projects (*.qel)|*.qel|All Files (*.*)|*.*";
  SaveDialog.OverwritePrompt = true;
  PrintDialog = std::make_unique<QPrinter>();

  trAutoSave = new QTimer(this);
  trAutoSaveBackup = new QTimer(this);
  connect(trAutoSave, &QTimer::timeout, this, &TQELMain::trAutoSaveTimer);
  connect(trAutoSaveBackup, &QTimer::timeout, this, &TQELMain::trAutoSaveBackupTimer);
  trAutoSave->start(1800000);
  trAutoSaveBackup->start(1800000);

  adpMRU1 = new TadpMRU(this);
  adpMRU1->SetMaxItems(4);
  adpMRU1->SetShowFullPath(true);
  adpMRU1->SetParentMenuItem(Reopen);
  adpMRU1->SetRegistryPath("\\Software\\Brask\\QEL");
  adpMRU1->OnClick = [this](QObject* sender, const std::string& fileName) { adpMRU1Click(sender, fileName); };
}

// One tool button: the field that holds it, its caption, hint, image and handler. An entry
// without a field is a separator.
struct TToolButton {
  QAction* TQELMain::*Field;
  const char* Caption;
  const char* Hint;
  int Image;
  void (TQELMain::*Handler)();
};

void TQELMain::AddToolButtons(QToolBar* bar, std::initializer_list<TToolButton> buttons) {
  for (const TToolButton& b : buttons) {
    if (!b.Field) {
      bar->addSeparator();
      continue;
    }
    QAction* action = bar->addAction(IL_QELMain.value(b.Image), b.Caption, this, b.Handler);
    action->setToolTip(b.Hint);
    this->*b.Field = action;
  }
}

void TQELMain::CreateToolBars() {
  ToolBarMain = addToolBar("ToolBarMain");
  ToolBarMain->setObjectName("ToolBarMain");
  ToolBarMain->setMovable(false);
  using M = TQELMain;
  ToolBarFile = InnerToolBar(ToolBarMain, "ToolBarFile");
  AddToolButtons(ToolBarFile, {{&M::TB_new, "New Project", "New Project", 0, &M::TB_NewClick},
                               {&M::TB_Open, "Open Project", "Open Project", 1, &M::TB_OpenClick},
                               {&M::TB_Save, "Save Project", "Save Project", 2, &M::TB_SaveClick},
                               {},
                               {&M::TB_Print, "Print the active sheet", "Print the active sheet", 10, &M::TB_PrintClick},
                               {},
                               {&M::TB_Exit, "Exit QEL", "Exit QEL", 15, &M::TB_ExitClick},
                               {},
                               {&M::tbImport, "Import", "Import File", 18, &M::tbImportClick},
                               {&M::tbAutoSave, "AutoSave", "Auto Save", 19, &M::tbAutoSaveClick}});
  ToolBarMisc = InnerToolBar(ToolBarMain, "ToolBarMisc");
  AddToolButtons(ToolBarMisc, {{&M::TB_Search, "Search", "Search", 9, &M::TB_SearchClick},
                               {},
                               {&M::TB_Tile, "Tile Windows", "Tile Windows", 16, &M::TB_TileClick},
                               {&M::TB_Cascade, "Cascade Windows", "Cascade Windows", 17, &M::TB_CascadeClick},
                               {&M::TB_FitToScreen, "Fit to screen", "Fit to screen", 6, &M::TB_FitToScreenClick},
                               {},
                               {&M::TB_Relations, "Relation types", "Relation types", 11, &M::TB_RelationsClick},
                               {},
                               {&M::TB_NewNote, "New Note", "New Note", 12, &M::TB_NewNoteClick},
                               {&M::TB_NewSheet, "New Sheet", "New Sheet", 13, &M::TB_NewSheetClick}});

  ToolBarNew = InnerToolBar(ToolBarMain, "ToolBarNew");
  PN_NewNote = new TNewNoteTile(this, IL_QELMain.value(12));
  ToolBarNew->addWidget(PN_NewNote);

  ToolBarView = InnerToolBar(ToolBarMain, "ToolBarView");
  CB_Zoom = new QComboBox(ToolBarView);
  CB_Zoom->setFixedWidth(59);
  CB_Zoom->setToolTip("Zoom Percentage");
  CB_Zoom->addItems({"200%", "100%", "80%", "60%", "40%", "20%"});
  // A zoom between the entries is shown as the box's placeholder, in the text colour.
  QPalette zoomColors = CB_Zoom->palette();
  zoomColors.setColor(QPalette::PlaceholderText, zoomColors.color(QPalette::Text));
  CB_Zoom->setPalette(zoomColors);
  CB_Zoom->setCurrentIndex(1); // until a sheet window sets it
  // Only the user's choice zooms; selecting an entry from code does not.
  connect(CB_Zoom, &QComboBox::activated, this, &TQELMain::CB_ZoomChange);
  ToolBarView->addWidget(CB_Zoom);
  AddToolButtons(ToolBarView, {{&M::TB_ZoomIn, "Zoom in", "Zoom in", 3, &M::TB_ZoomInClick},
                               {&M::TB_ZoomOut, "Zoom out", "Zoom out", 4, &M::TB_ZoomOutClick},
                               {&M::ToolButton15, "help", "help", 20, &M::Help}});
}

void TQELMain::CreateMenus() {
  QMenuBar* bar = menuBar();
  MI_File = bar->addMenu("&File");
  MI_File->addAction("&New", this, &TQELMain::TB_NewClick);
  MI_File->addAction("&Open...", this, &TQELMain::TB_OpenClick);
  Reopen = MI_File->addMenu("&Reopen");
  MI_File->addAction("&Save...", QKeySequence("Ctrl+S"), this, &TQELMain::TB_SaveClick);
  MI_File->addAction("Save &As...", this, &TQELMain::MI_FileSaveAsClick);
  MI_File->addAction("A&uto Save...", this, &TQELMain::tbAutoSaveClick);
  MI_File->addSeparator();
  MI_File->addAction("&Print...", QKeySequence("Ctrl+P"), this, &TQELMain::TB_PrintClick);
  MI_File->addSeparator();
  MI_File->addAction("&Exit", this, &TQELMain::TB_ExitClick);

  MI_Edit = bar->addMenu("&Edit");
  MI_Edit->addAction("New &Note...", QKeySequence("Ctrl+N"), this, &TQELMain::TB_NewNoteClick);
  MI_Edit->addAction("New &Sheet...", QKeySequence("Ctrl+W"), this, &TQELMain::TB_NewSheetClick);
  // Hidden items: hidden actions take no shortcut, so edit fields keep Ctrl+X, C and V.
  MI_Edit->addSeparator()->setVisible(false);
  MI_EditCut = MI_Edit->addAction("Cu&t", QKeySequence("Ctrl+X"), this, &TQELMain::MI_EditCutClick);
  MI_EditCopy = MI_Edit->addAction("&Copy", QKeySequence("Ctrl+C"), this, &TQELMain::MI_EditCopyClick);
  MI_EditPaste = MI_Edit->addAction("&Paste", QKeySequence("Ctrl+V"), this, &TQELMain::MI_EditPasteClick);
  for (QAction* hidden : {MI_EditCut, MI_EditCopy, MI_EditPaste}) hidden->setVisible(false);

  Search1 = bar->addMenu("&Search");
  Search1->addAction("&Global...", QKeySequence("Ctrl+G"), this, &TQELMain::MI_SearchGlobalClick);
  Search1->addAction("&Notes...", QKeySequence("Ctrl+F"), this, &TQELMain::MI_SearchNotesClick);
  Search1->addAction("S&heets...", QKeySequence("Ctrl+H"), this, &TQELMain::MI_SearchSheetsClick);
  Search1->addAction("A&ttachments...", QKeySequence("Ctrl+T"), this, &TQELMain::MI_SearchAttachmentsClick);

  MI_View = bar->addMenu("&View");
  MI_View->addAction("Zoom &In", QKeySequence("Ctrl+I"), this, &TQELMain::TB_ZoomInClick);
  MI_View->addAction("Zoom &Out", QKeySequence("Ctrl+U"), this, &TQELMain::TB_ZoomOutClick);
  MI_View->addSeparator();
  MI_View->addAction("&Relation types...", QKeySequence("Ctrl+R"), this, &TQELMain::TB_RelationsClick);

  MI_window = bar->addMenu("&Window");
  connect(MI_window, &QMenu::aboutToShow, this, &TQELMain::FillWindowMenu);
  FillWindowMenu();

  MI_Help = bar->addMenu("&Help");
  MI_Help->addAction("&Contents", this, &TQELMain::Help);
  MI_Help->addSeparator();
  MI_Help->addAction("&About", this, &TQELMain::MI_HelpAboutClick);
  // F1 opens the help pages from every window of the program.
  auto* contextHelp = new QShortcut(QKeySequence::HelpContents, this, this, &TQELMain::Help);
  contextHelp->setContext(Qt::ApplicationShortcut);
}

void TQELMain::FillWindowMenu() {
  MI_window->clear();
  MI_window->addAction("&Cascade", this, &TQELMain::TB_CascadeClick);
  MI_window->addAction("&Tile", this, &TQELMain::TB_TileClick);
  MI_window->addAction("&Fit to screen", this, &TQELMain::TB_FitToScreenClick);
  const QList<QMdiSubWindow*> children = MdiArea->subWindowList();
  if (!children.isEmpty()) MI_window->addSeparator();
  int number = 1;
  for (QMdiSubWindow* child : children) {
    QAction* entry = MI_window->addAction(QString("&%1 %2").arg(number++).arg(MenuText(child->windowTitle())));
    entry->setCheckable(true);
    entry->setChecked(child == MdiArea->activeSubWindow());
    QPointer<QMdiSubWindow> target = child;
    connect(entry, &QAction::triggered, this, [this, target] {
      if (target) RestoreChildWindow(target);
    });
  }
}

} // namespace qel
