#include "SheetProp.h"

#include "windows/richedit/RichEditURL.h"
#include "windows/richedit/RtfReader.h"
#include "model/Container.h"
#include "platform/Errors.h"
#include "platform/qt/QtConvert.h"
#include "windows/MainServices.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPrinter>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QTextDocument>
#include <QToolButton>
#include <QVBoxLayout>

namespace qel {
namespace {

QLineEdit* SizeBox(QWidget* parent, const char* hint) {
  auto* box = new QLineEdit("9999", parent);
  box->setValidator(new QIntValidator(1, 9999, box));
  box->setMaxLength(4);
  box->setFixedWidth(40);
  box->setToolTip(hint);
  return box;
}

// The size in a size box; false (after telling the user) when it is not a whole number of
// at least 1: a sheet without width or height shows no note and takes no drop.
bool ReadSize(const QLineEdit* box, const char* what, int32_t& value) {
  bool ok = false;
  const QString text = box->text().trimmed();
  const int number = text.toInt(&ok);
  if (!ok) {
    MessageDlg("'" + FromQString(box->text()) + "' is not a valid integer value", TMsgDlgType::mtError, mbOK);
    return false;
  }
  if (number < 1) {
    MessageDlg(std::string("The ") + what + " of a sheet must be at least 1", TMsgDlgType::mtError, mbOK);
    return false;
  }
  value = number;
  return true;
}

} // namespace

TSheetPrp::TSheetPrp(QWidget* parent, Qt::WindowFlags flags) : TPropertyFrm(parent, flags) {
  setWindowTitle("Sheet");
  resize(1032, 776);
  CreateToolBars();
  CreateTexts();
  CreateMenus();
  QVBoxLayout* box = TakeBody(this);
  box->addWidget(Scrolled(PN_SheetProp));
  box->addWidget(Splitter1, 1);
  box->setSizeConstraint(QLayout::SetNoConstraint); // a narrow free window scrolls its tool bars
  ForgetProjectOnRelease(this);
  StoreWhenAsked();
}

// The note and sheet windows opened from the notes list store before Qt frees them.
TSheetPrp::~TSheetPrp() { StoreOwnedWindows(this); }

void TSheetPrp::CreateToolBars() {
  PN_SheetProp = new QWidget(this);
  PN_SheetProp->setFixedHeight(51);
  auto* row = new QHBoxLayout(PN_SheetProp);
  row->setContentsMargins(2, 0, 2, 0);
  GroupBox2 = new QGroupBox("Panel", PN_SheetProp);
  GroupBox2->setToolTip("properties of the Sheet text");
  auto* panel = new QHBoxLayout(GroupBox2);
  panel->setContentsMargins(4, 0, 4, 2);
  FontName1 = new QComboBox(GroupBox2);
  FontName1->setFixedWidth(100);
  FontName1->setMaxVisibleItems(10);
  FontName1->setToolTip("Text font on panel");
  FontName2 = new QComboBox(this);
  FontName3 = new QComboBox(this);
  for (QComboBox* hidden : {FontName2, FontName3}) {
    hidden->setToolTip("Font Name|Select font name");
    hidden->hide();
  }
  FontSize = new QSpinBox(GroupBox2);
  FontSize->setRange(1, 1638);
  FontSize->setValue(10);
  FontSize->setToolTip("Text font size on panel");
  BBPrint = new QToolButton(GroupBox2);
  BBPrint->setText("Print");
  BBPrint->setToolTip("print all the Notes on this Sheet as represented on this panel");
  panel->addWidget(FontName1);
  panel->addWidget(FontSize);
  panel->addWidget(BBPrint);
  row->addWidget(GroupBox2);
  row->addWidget(CreateSheetBox());
  row->addStretch(1);
  // Every choice applies, also that of the name the box shows already.
  connect(FontName1, &QComboBox::activated, this, &TSheetPrp::FontName1Change);
  connect(FontSize, &QSpinBox::valueChanged, this, &TSheetPrp::FontSizeChange);
  connect(BBPrint, &QToolButton::clicked, this, &TSheetPrp::BBPrintClick);
}

QGroupBox* TSheetPrp::CreateSheetBox() {
  GroupBox1 = new QGroupBox("Sheet", PN_SheetProp);
  GroupBox1->setToolTip("properties of the visualized Sheet");
  auto* open = new QHBoxLayout(GroupBox1);
  open->setContentsMargins(4, 0, 4, 2);
  PN_SheetColor = new TColorPanel(GroupBox1);
  PN_SheetColor->setFixedSize(22, 21);
  PN_SheetColor->setToolTip("Color of Sheet");
  ED_SheetWidth = SizeBox(GroupBox1, "Width of Sheet");
  ED_SheetHeight = SizeBox(GroupBox1, "Height of Sheet");
  SP_GridSize = new QSpinBox(GroupBox1);
  SP_GridSize->setRange(10, 50);
  SP_GridSize->setValue(10);
  SP_GridSize->setToolTip("Gridsize on Sheet");
  SP_GridSize->installEventFilter(this);
  for (QWidget* child : SP_GridSize->findChildren<QWidget*>()) child->installEventFilter(this);
  const std::pair<const char*, QWidget*> fields[] = {
      {"Color: ", PN_SheetColor}, {"Width: ", ED_SheetWidth}, {"Height: ", ED_SheetHeight}, {"Grid: ", SP_GridSize}};
  for (auto [label, field] : fields) {
    open->addWidget(new QLabel(label, GroupBox1));
    open->addWidget(field);
  }
  connect(PN_SheetColor, &TColorPanel::Clicked, this, &TSheetPrp::PN_SheetColorDblClick);
  connect(PN_SheetColor, &TColorPanel::DoubleClicked, this, &TSheetPrp::PN_SheetColorDblClick);
  connect(ED_SheetWidth, &QLineEdit::editingFinished, this, &TSheetPrp::ED_SheetWidthExit);
  WatchEdits(SP_GridSize, &QSpinBox::valueChanged);
  WatchEdits(ED_SheetWidth, &QLineEdit::textChanged);
  WatchEdits(ED_SheetHeight, &QLineEdit::textChanged);
  connect(ED_SheetHeight, &QLineEdit::editingFinished, this, &TSheetPrp::ED_SheetHeightExit);
  return GroupBox1;
}

void TSheetPrp::CreateTexts() {
  Splitter1 = new QSplitter(Qt::Vertical, this);
  RichEditURL1 = new TRichEditURL(Splitter1);
  RichEditURL1->setToolTip("Describe this Sheet. Text is NOT included in general search or Sheet search!");
  auto* notes = new QWidget(Splitter1);
  auto* column = new QVBoxLayout(notes);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  SB_Contents = new QStatusBar(notes);
  SB_Contents->setSizeGripEnabled(false);
  SB_Contents->setFixedHeight(24);
  RichEditURL2 = new TRichEditURL(notes);
  RichEditURL2->setReadOnly(true);
  RichEditURL2->setToolTip("These are the Note headers and Note bodies of all Notes in this Sheet. You can change them "
                           "by changing the Notes themselves.");
  column->addWidget(SB_Contents);
  column->addWidget(RichEditURL2, 1);
  LV_Contents = new TDragView<QListWidget>(Splitter1);
  LV_Contents->setSelectionMode(QAbstractItemView::ExtendedSelection);
  LV_Contents->setEditTriggers(QAbstractItemView::NoEditTriggers);
  LV_Contents->setToolTip("Notes collected in this Sheet.");
  LV_Contents->OnStartDrag = [this] { return LV_ContentsStartDrag(); };
  // The store writes the plain text: a font chosen for the panel is no edit of the description.
  connect(RichEditURL1->document(), &QTextDocument::contentsChanged, this, [this] {
    const TSheetItem* sheet = Sheet.Get();
    if (!sheet || RichEditURL1->GetPlainText() != sheet->Data.Description) MarkEdited(RichEditURL1);
  });
  RichEditURL3 = new TRichEditURL(this);
  RichEditURL3->hide();
  for (TRichEditURL* text : {RichEditURL1, RichEditURL2}) {
    text->installEventFilter(this);
    text->OnURLClick = [](TRichEditURL*, const QString& url) { OpenURL(url); };
    text->OnProgramKey = [text](QKeyEvent* key) { return MainMenuShortcut(text, key); };
  }
  connect(RichEditURL2, &QTextEdit::textChanged, this, &TSheetPrp::RichEditURL2Change);
  connect(LV_Contents, &QListWidget::itemDoubleClicked, this, &TSheetPrp::LV_ContentsDblClick);
}

void TSheetPrp::ShowItem(TSheetItem* Item) {
  if (BindItem(Item)) Sheet = Item;
  ED_Caption->show();
  TPropertyFrm::ShowItem();
}

bool TSheetPrp::ItemGone() const {
  return MissingFrom(Container ? Container->SheetPool.get() : nullptr, Sheet.Get());
}

bool TSheetPrp::UpdateItem(bool Store) {
  if (CloseIfGone()) return true;
  TSheetItem* sheet = Sheet.Get();
  if (Store) {
    StoreSheet(sheet);
  } else {
    const TLoadGuard loading(this);
    LoadSheet(sheet);
  }
  return TPropertyFrm::UpdateItem(Store);
}

void TSheetPrp::StoreUnlessClosing() {
  if (!Closing) UpdateItem(true);
}

// Only the fields the user changed here. A size that is not a whole number is reported and
// shows the sheet's again; the other fields are stored all the same.
void TSheetPrp::StoreSheet(TSheetItem* sheet) {
  if (Edited(PN_SheetColor)) sheet->SetColor(PN_SheetColor->Color());
  const std::pair<QLineEdit*, const char*> sizes[] = {{ED_SheetWidth, "width"}, {ED_SheetHeight, "height"}};
  for (auto [box, what] : sizes) {
    if (!Edited(box)) continue;
    const bool width = box == ED_SheetWidth;
    int32_t size = width ? sheet->Data.Width : sheet->Data.Height;
    if (!ReadSize(box, what, size))
      box->setText(QString::number(size));
    else if (width)
      sheet->SetWidth(size);
    else
      sheet->SetHeight(size);
  }
  if (Edited(SP_GridSize)) sheet->SetGridSize(SP_GridSize->value());
  if (Edited(ED_Caption)) sheet->SetName(FromQString(ED_Caption->text()));
  if (Edited(RichEditURL1)) sheet->SetDescription(RichEditURL1->GetPlainText());
  RichEditURL1->document()->setModified(false);
  if (MainServices) MainServices->SyncSheetNotes();
}

// Fields the user changed here keep what was typed; the others show the sheet.
void TSheetPrp::LoadSheet(TSheetItem* sheet) {
  const auto show = [this](QLineEdit* box, const QString& text) {
    if (!Edited(box) && box->text() != text) box->setText(text);
  };
  show(ED_Caption, ToQString(sheet->Data.Name));
  SetInfo("Sheet - " + ToQString(sheet->Data.Name));
  if (!Edited(PN_SheetColor)) PN_SheetColor->SetColor(sheet->Data.Color);
  show(ED_SheetWidth, QString::number(sheet->Data.Width));
  show(ED_SheetHeight, QString::number(sheet->Data.Height));
  if (!Edited(SP_GridSize)) {
    const QSignalBlocker loading(SP_GridSize);
    SP_GridSize->setValue(sheet->Data.GridSize);
  }
  // Plain, also when it looks like RTF.
  if (!Edited(RichEditURL1) && RichEditURL1->GetPlainText() != sheet->Data.Description)
    RichEditURL1->SetPlainTextAnsi(sheet->Data.Description);
  RefreshContents(sheet);
}

void TSheetPrp::RefreshContents(TSheetItem* sheet) {
  SB_Contents->showMessage("Notes of " + ToQString(sheet->Data.Name));
  std::vector<TEntry> entries;
  QString notesText;
  QTextDocument reading; // each note's text as the rich-text control reads it, every script kept
  for (TPoolItem* pos : sheet->Positions) {
    TNoteItem* note = static_cast<TPosItem*>(pos)->GetNote();
    if (!note) continue;
    ReadRtf(note->Data.Text, reading);
    notesText += QString::fromUtf8("\r\n\r\n« ") + ToQString(note->Data.Name) + QString::fromUtf8(" »\r\n\r\n") +
                 PlainUnicodeOf(reading);
    const int image = note->IsAggregation() ? 1 : note->IsPlacedOn(sheet) ? 4 : 2;
    entries.push_back({note, ToQString(note->Data.Name), image});
  }
  if (entries == FEntries && notesText == FNotesText) return;
  FEntries = std::move(entries);
  FNotesText = notesText;
  LV_Contents->clear();
  for (const TEntry& entry : FEntries) new QListWidgetItem(IL_Property.value(entry.Image), entry.Name, LV_Contents);
  RichEditURL2->SetPlainText(notesText);
  RichEditURL2Change();
}

void TSheetPrp::RichEditURL2Change() {
  RichEditURL3->setPlainText(ED_Caption->text() + "\n\n" + RichEditURL1->toPlainText() + RichEditURL2->toPlainText());
}

void TSheetPrp::showEvent(QShowEvent* event) {
  TPropertyFrm::showEvent(event);
  FormShow();
}

bool TSheetPrp::eventFilter(QObject* watched, QEvent* event) {
  const bool text = watched == RichEditURL1 || watched == RichEditURL2;
  if (event->type() == QEvent::FocusOut && text) ME_DescriptionExit();
  if (event->type() == QEvent::KeyPress && text) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() == Qt::ControlModifier && key->key() == Qt::Key_L) {
      MI_LoadFromFileClick();
      return true;
    }
  }
  auto* widget = qobject_cast<QWidget*>(watched);
  if (event->type() == QEvent::MouseButtonRelease && widget &&
      (widget == SP_GridSize || SP_GridSize->isAncestorOf(widget)))
    SP_GridSizeMouseUp();
  return TPropertyFrm::eventFilter(watched, event);
}

} // namespace qel
