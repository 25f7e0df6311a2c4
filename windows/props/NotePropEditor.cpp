// The note window's "&Memo" page: tool bar, ruler, menus and the formatting of the text.
#include "NoteProp.h"
#include "windows/richedit/RichEditURL.h"
#include "windows/richedit/RtfFormat.h"
#include "platform/Errors.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/QtConvert.h"

#include <QActionGroup>
#include <QComboBox>
#include <QDateTime>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextList>
#include <QToolBar>
#include <QVBoxLayout>

namespace qel {
namespace {

QAction* CheckAction(QToolBar* bar, const QString& text, const QString& hint) {
  QAction* action = bar->addAction(text);
  action->setToolTip(hint);
  action->setCheckable(true);
  return action;
}

} // namespace

void TNotePrp::CreateMemoPage() {
  TS_Memo = new QWidget(PC_Note);
  PC_Note->addTab(TS_Memo, "&Memo");
  auto* column = new QVBoxLayout(TS_Memo);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  CreateToolBar();
  CreateRuler();
  auto* splitter = new QSplitter(Qt::Vertical, TS_Memo);
  RichEditURL1 = new TRichEditURL(splitter);
  RichEditURL1->setToolTip("Enter your text. ");
  RichEditURL1->OnURLClick = [this](TRichEditURL*, const QString& url) { RichEditURL1URLClick(url); };
  RichEditURL1->OnProgramKey = [this](QKeyEvent* key) { return MainMenuShortcut(RichEditURL1, key); };
  RichEditURL1->installEventFilter(this);
  RichEditURL1->viewport()->installEventFilter(this);
  SetTextMargins();
  RichEditURL1->document()->clearUndoRedoStacks();
  CreateLinkLists(splitter);
  splitter->setSizes({300, 136, 136});
  StatusBar = new QStatusBar(TS_Memo);
  StatusBar->setSizeGripEnabled(false);
  const int widths[] = {120, 60, 50};
  for (int i = 0; i < 3; ++i) {
    StatusPanels[i] = new QLabel(StatusBar);
    StatusPanels[i]->setFixedWidth(widths[i]);
    StatusBar->addWidget(StatusPanels[i]);
  }
  StatusPanels[1]->setAlignment(Qt::AlignCenter);
  // The link under the mouse shows where it goes.
  RichEditURL1->OnLinkStatus = [this](const QString& status) {
    if (status.isEmpty())
      StatusBar->clearMessage();
    else
      StatusBar->showMessage(status);
  };
  for (QWidget* part : {Scrolled(StandardToolBar), Ruler, static_cast<QWidget*>(splitter),
                        static_cast<QWidget*>(StatusBar)})
    column->addWidget(part, part == splitter ? 1 : 0);
  connect(RichEditURL1->document(), &QTextDocument::modificationChanged, this, &TNotePrp::RichEditChange);
  WatchText(RichEditURL1);
  connect(RichEditURL1, &QTextEdit::currentCharFormatChanged, this, &TNotePrp::SelectionChange);
  connect(RichEditURL1, &QTextEdit::cursorPositionChanged, this, &TNotePrp::SelectionChange);
}

void TNotePrp::CreateToolBar() {
  StandardToolBar = new QToolBar(TS_Memo);
  StandardToolBar->addAction("Date", this, &TNotePrp::DateTimeClick)->setToolTip("Insert today's date and time");
  StandardToolBar->addAction("Print", this, &TNotePrp::FilePrint)->setToolTip("Print current file");
  StandardToolBar->addAction("Find", this, &TNotePrp::bnREURLReplaceClick)->setToolTip("Find and/or Replace");
  FontName = new QComboBox(StandardToolBar);
  FontName->setEditable(true);
  FontName->setFixedWidth(100);
  FontName->setMaxVisibleItems(10);
  FontName->setToolTip("Font Name");
  FontName->setStatusTip("Select font name");
  FontSize = new QSpinBox(StandardToolBar);
  FontSize->setRange(1, 1638);
  FontSize->setValue(10);
  FontSize->setToolTip("Font Size");
  FontSize->setStatusTip("Select font size");
  StandardToolBar->addWidget(FontName);
  StandardToolBar->addWidget(FontSize);
  BoldButton = CheckAction(StandardToolBar, "B", "Bold");
  ItalicButton = CheckAction(StandardToolBar, "I", "Italic");
  UnderlineButton = CheckAction(StandardToolBar, "U", "Underline");
  BulletsButton = CheckAction(StandardToolBar, "\u2022", "Bullets");
  BulletsButton->setStatusTip("Enter bullet mode");
  LeftAlign = CheckAction(StandardToolBar, "L", "Align Left");
  CenterAlign = CheckAction(StandardToolBar, "C", "Center");
  RightAlign = CheckAction(StandardToolBar, "R", "Align Right");
  auto* aligns = new QActionGroup(this);
  for (QAction* align : {LeftAlign, CenterAlign, RightAlign}) aligns->addAction(align);
  StandardToolBar->addSeparator();
  StandardToolBar->addAction("Cut", this, &TNotePrp::EditCut)->setToolTip("Delete selected item");
  StandardToolBar->addAction("Copy", this, &TNotePrp::EditCopy)->setToolTip("Copy selected item to clipboard");
  StandardToolBar->addAction("Paste", this, &TNotePrp::EditPaste)->setToolTip("Paste contents of clipboard");
  StandardToolBar->addAction("Undo", this, &TNotePrp::EditUndo)->setToolTip("Undo the last action");
  // Every choice applies, also that of the name the box shows already.
  connect(FontName, &QComboBox::activated, this, &TNotePrp::FontNameChange);
  connect(FontSize, &QSpinBox::valueChanged, this, &TNotePrp::FontSizeChange);
  connect(BoldButton, &QAction::triggered, this, &TNotePrp::BoldButtonClick);
  connect(ItalicButton, &QAction::triggered, this, &TNotePrp::ItalicButtonClick);
  connect(UnderlineButton, &QAction::triggered, this, &TNotePrp::UnderlineButtonClick);
  connect(BulletsButton, &QAction::triggered, this, &TNotePrp::BulletsButtonClick);
  connect(LeftAlign, &QAction::triggered, this, [this] { AlignButtonClick(0); });
  connect(RightAlign, &QAction::triggered, this, [this] { AlignButtonClick(1); });
  connect(CenterAlign, &QAction::triggered, this, [this] { AlignButtonClick(2); });
}

void TNotePrp::CreateRuler() {
  Ruler = new QWidget(TS_Memo);
  Ruler->setFixedHeight(25);
  auto* line = new QFrame(Ruler);
  line->setFrameShape(QFrame::HLine);
  line->setGeometry(4, 12, 2000, 2);
  const QFont markers("Arial", 7);
  FirstInd = new QLabel("\u25BC", Ruler);
  LeftInd = new QLabel("\u25B2", Ruler);
  RightInd = new QLabel("\u25B2", Ruler);
  for (QLabel* marker : {FirstInd, LeftInd, RightInd}) marker->setFont(markers);
  FirstInd->move(2, 2);
  LeftInd->move(2, 12);
  RightInd->move(Ruler->width() - 6, 14);
}

void TNotePrp::CreateMenus() {
  QMenu* file = MainMenu->addMenu("&File");
  file->addAction("&New", this, &TNotePrp::FileNew)->setStatusTip("Create a new file");
  file->addAction("&Open...", QKeySequence("Ctrl+O"), this, &TNotePrp::FileOpen)->setStatusTip("Open an existing file");
  file->addAction("&Save", QKeySequence("Ctrl+S"), this, &TNotePrp::FileSave)->setStatusTip("Save current file");
  file->addAction("Save &As...")->setStatusTip("Save current file under a new name");
  file->addSeparator();
  file->addAction("&Print", QKeySequence("Ctrl+P"), this, &TNotePrp::FilePrint)->setStatusTip("Print current file");
  file->addSeparator();
  file->addAction("E&xit")->setStatusTip("Exit this application");
  QMenu* edit = MainMenu->addMenu("&Edit");
  edit->addAction("&Undo", QKeySequence("Ctrl+Z"), this, &TNotePrp::EditUndo)->setStatusTip("Undo the last action");
  edit->addSeparator();
  edit->addAction("Cu&t", QKeySequence("Ctrl+X"), this, &TNotePrp::EditCut)->setStatusTip("Delete selected item");
  edit->addAction("&Copy", QKeySequence("Ctrl+C"), this, &TNotePrp::EditCopy)
      ->setStatusTip("Copy selected item to clipboard");
  edit->addAction("&Paste", QKeySequence("Ctrl+V"), this, &TNotePrp::EditPaste)
      ->setStatusTip("Paste contents of clipboard");
  edit->addSeparator();
  edit->addAction("&Font...");
  MainMenu->addMenu("&Help")->addAction("&About...")->setStatusTip("Show program information");
  cmn_memoload = new QMenu(this);
  cmn_memoload->addAction("Cu&t", QKeySequence("Ctrl+X"), this, &TNotePrp::MI_CutClick);
  cmn_memoload->addAction("&Copy", QKeySequence("Ctrl+C"), this, &TNotePrp::MI_CopyClick);
  cmn_memoload->addAction("&Paste", QKeySequence("Ctrl+V"), this, &TNotePrp::MI_PasteClick);
  cmn_memoload->addSeparator();
  cmn_memoload->addAction("&Load from file", QKeySequence("Ctrl+L"), this, &TNotePrp::MI_loadfileClick);
  RichEditURL1->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(RichEditURL1, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { cmn_memoload->popup(RichEditURL1->viewport()->mapToGlobal(at)); });
  OpenDialog.Filter = SaveDialog.Filter = "Rich Text Files (*.RTF)|*.RTF|Text Files (*.TXT)|*.TXT";
  dlg_openfile.Filter = "Text files|*.txt";
}

void TNotePrp::FormShow() {
  // The menu and its shortcuts belong to a note window of its own, not to a page.
  MainMenu->setVisible(isWindow());
  for (QAction* menu : MainMenu->actions())
    for (QAction* action : menu->menu()->actions()) action->setEnabled(isWindow());
  if (FontName->count() == 0) {
    const QSignalBlocker blocker(FontName);
    QStringList families = FontFamilyNames();
    for (QString& family : families) family.truncate(32);
    families.sort();
    FontName->addItems(families);
    FontName->setCurrentText("MS Sans Serif");
  }
  SetLinkCaptions();
  PC_NoteEnter();
  RichEditChange();
  // A page of another window leaves the focus where its owner has it.
  if (isWindow() && PC_Note->currentWidget() == TS_Memo) RichEditURL1->setFocus();
}

// The margin is layout, not an edit: text unchanged since it was loaded stays unchanged.
void TNotePrp::SetTextMargins() {
  QTextDocument* text = RichEditURL1->document();
  if (text->documentMargin() == 6) return;
  const bool modified = text->isModified();
  const bool unchanged = !RichEditURL1->ChangedSinceLoad();
  const std::string loaded = unchanged ? RichEditURL1->GetRichText() : std::string();
  text->setDocumentMargin(6);
  if (unchanged) {
    RichEditURL1->MarkStored(loaded);
    ClearEdited(RichEditURL1);
  }
  text->setModified(modified);
}

void TNotePrp::SelectionChange() {
  UpdatingControls = true;
  struct TDone {
    bool& Flag;
    ~TDone() { Flag = false; }
  } done{UpdatingControls};
  const QTextCursor cursor = RichEditURL1->textCursor();
  const TRtfParagraph paragraph = TRtfParagraph::FromBlock(cursor.block());
  // Indents in twips: 15 of them make a pixel of the ruler.
  FirstInd->move((paragraph.LeftTwips + paragraph.FirstTwips) / 15 + 2, FirstInd->y());
  LeftInd->move(paragraph.LeftTwips / 15 + 2, LeftInd->y());
  RightInd->move(Ruler->width() - 6 - (paragraph.RightTwips + 120) / 15, RightInd->y());
  const TRtfRun run = TRtfRun::FromCharFormat(RichEditURL1->currentCharFormat(), RichEditURL1->document()->defaultFont());
  BoldButton->setChecked(run.Bold);
  ItalicButton->setChecked(run.Italic);
  UnderlineButton->setChecked(run.Underline);
  BulletsButton->setChecked(paragraph.Bullet);
  FontSize->setValue(run.HalfPoints / 2);
  const int family = FontName->findText(run.Family);
  if (family >= 0)
    FontName->setCurrentIndex(family);
  else
    FontName->setEditText(run.Family);
  LeftAlign->setChecked(paragraph.Align == TRtfAlign::Left);
  RightAlign->setChecked(paragraph.Align == TRtfAlign::Right);
  CenterAlign->setChecked(paragraph.Align == TRtfAlign::Center);
}

void TNotePrp::ShowModifiedMark(bool Modified) { StatusPanels[1]->setText(Modified ? "Modified" : ""); }

void TNotePrp::RichEditChange() { ShowModifiedMark(RichEditURL1->document()->isModified()); }

void TNotePrp::ApplyFormat(const QTextCharFormat& format) {
  if (UpdatingControls || Loading) return;
  RichEditURL1->mergeCurrentCharFormat(format);
}

void TNotePrp::FontSizeChange() {
  QTextCharFormat format;
  format.setFontPointSize(FontSize->value());
  ApplyFormat(format);
}

void TNotePrp::FontNameChange() {
  const int index = FontName->currentIndex();
  if (index < 0) return;
  QTextCharFormat format;
  format.setFontFamilies(QStringList{FontName->itemText(index)});
  ApplyFormat(format);
}

void TNotePrp::BoldButtonClick() {
  QTextCharFormat format;
  format.setFontWeight(BoldButton->isChecked() ? QFont::Bold : QFont::Normal);
  ApplyFormat(format);
}

void TNotePrp::ItalicButtonClick() {
  QTextCharFormat format;
  format.setFontItalic(ItalicButton->isChecked());
  ApplyFormat(format);
}

void TNotePrp::UnderlineButtonClick() {
  QTextCharFormat format;
  format.setFontUnderline(UnderlineButton->isChecked());
  ApplyFormat(format);
}

void TNotePrp::AlignButtonClick(int Tag) {
  if (UpdatingControls || Loading) return;
  static const Qt::Alignment kAlign[] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter};
  if (Tag >= 0 && Tag < 3) RichEditURL1->setAlignment(kAlign[Tag]);
}

void TNotePrp::BulletsButtonClick() {
  if (UpdatingControls || Loading) return;
  QTextCursor cursor = RichEditURL1->textCursor();
  if (BulletsButton->isChecked()) {
    if (!cursor.currentList()) cursor.createList(QTextListFormat::ListDisc);
    return;
  }
  QTextBlock block = RichEditURL1->document()->findBlock(cursor.selectionStart());
  const QTextBlock last = RichEditURL1->document()->findBlock(cursor.selectionEnd());
  for (; block.isValid(); block = block.next()) {
    if (QTextList* list = block.textList()) list->remove(block);
    if (block == last) break;
  }
}

void TNotePrp::DateTimeClick() {
  if (CloseIfGone()) return;
  const QLocale locale;
  const QDateTime now = QDateTime::currentDateTime();
  RichEditURL1->insertPlainText(locale.toString(now.date(), QLocale::ShortFormat) + " " +
                                locale.toString(now.time(), QLocale::LongFormat));
}

void TNotePrp::MI_CutClick() { RichEditURL1->cut(); }
void TNotePrp::MI_CopyClick() { RichEditURL1->copy(); }
void TNotePrp::MI_PasteClick() { RichEditURL1->paste(); }
void TNotePrp::EditUndo() { RichEditURL1->undo(); }
void TNotePrp::EditCut() { RichEditURL1->cut(); }
void TNotePrp::EditCopy() { RichEditURL1->copy(); }
void TNotePrp::EditPaste() { RichEditURL1->paste(); }

void TNotePrp::MI_loadfileClick() {
  if (CloseIfGone()) return;
  if (Dialogs().OpenDialog(dlg_openfile)) Reported([this] { RichEditURL1->LoadFromFile(dlg_openfile.FileName); });
  UpdateItem(true);
}

void TNotePrp::RichEditURL1URLClick(const QString& URL) { OpenURL(URL); }

bool TNotePrp::eventFilter(QObject* watched, QEvent* event) {
  if (watched == RichEditURL1 && event->type() == QEvent::FocusOut) RichEditURL1Exit();
  if (watched == RichEditURL1 && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() == Qt::ControlModifier && key->key() == Qt::Key_F) {
      bnREURLReplaceClick();
      return true;
    }
    if (key->modifiers() == Qt::ControlModifier && key->key() == Qt::Key_L) {
      MI_loadfileClick();
      return true;
    }
  }
  if (RichEditURL1 && watched == RichEditURL1->viewport()) {
    auto* drop = dynamic_cast<QDropEvent*>(event);
    if (drop && drop->mimeData()->hasUrls() && drop->mimeData()->urls().value(0).isLocalFile()) {
      drop->acceptProposedAction();
      if (event->type() == QEvent::Drop) {
        QStringList files;
        for (const QUrl& url : drop->mimeData()->urls()) files << url.toLocalFile();
        FilesDropped(files);
      }
      return true;
    }
  }
  if (watched == IM_Logo && LogoEvent(event)) return true;
  for (int place = 0; place < 9; ++place)
    if (watched == Targets[place] && TargetEvent(place, event)) return true;
  return TPropertyFrm::eventFilter(watched, event);
}

} // namespace qel
