#include "NoteProp.h"

#include "NotePropReplaceDialog.h"
#include "windows/richedit/RichEditURL.h"
#include "model/Container.h"
#include "platform/qt/QtConvert.h"
#include "windows/MainServices.h"

#include <QSplitter>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPrinter>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <exception>

namespace qel {

TNotePrp* NotePrp = nullptr;

TNotePrp::TNotePrp(QWidget* parent, Qt::WindowFlags flags) : TPropertyFrm(parent, flags) {
  setWindowTitle("Note");
  resize(280, 698);
  MainMenu = new QMenuBar(this);
  SB_Contents = new QStatusBar(this);
  SB_Contents->setSizeGripEnabled(false);
  PC_Note = new QTabWidget(this);
  CreateMemoPage();
  CreatePropertiesPage();
  CreateSheetsPage();
  CreateAttachmentList();
  CreateMenus();
  ReplaceDialog1 = new TReplaceDialog(this);
  connect(ReplaceDialog1, &TReplaceDialog::Find, this, &TNotePrp::ReplaceDialog1Find);
  connect(ReplaceDialog1, &TReplaceDialog::Replace, this, &TNotePrp::ReplaceDialog1Replace);
  QVBoxLayout* box = TakeBody(this);
  box->setMenuBar(MainMenu);
  box->addWidget(SB_Contents);
  box->addWidget(PC_Note, 3);
  box->addWidget(LV_Contents, 1);
  connect(PC_Note, &QTabWidget::currentChanged, this, &TNotePrp::PC_NoteChange);
  ForgetProjectOnRelease(this);
  StoreWhenAsked();
  if (MainServices)
    connect(MainServices->Notices(), &TMainNotices::ProjectReleasing, this, [this] {
      RelationPool = nullptr;
      LinkPool = nullptr;
    });
}

// Qt frees the windows opened from this one (attachment windows) after this body: they store
// while this window still stands.
TNotePrp::~TNotePrp() { StoreOwnedWindows(this); }

void TNotePrp::ShowNote(TNoteItem* note, TPoolItemList* relationPool, TPoolItemList* linkPool) {
  // What was typed or picked for the note shown so far goes into that note, not the next.
  if (BindItem(note)) {
    Note = note;
    LastFoundPos = -1; // a find in another note starts at its top
  }
  Loading = true;
  if (auto* pool = dynamic_cast<TRelationPool*>(relationPool)) RelationPool = pool;
  if (auto* pool = dynamic_cast<TLinkPool*>(linkPool)) LinkPool = pool;
  ED_Caption->show();
  TPropertyFrm::ShowItem();
}

bool TNotePrp::ItemGone() const {
  return MissingFrom(Container ? Container->NotePool.get() : nullptr, Note.Get());
}

bool TNotePrp::UpdateItem(bool Store) {
  if (CloseIfGone()) return true;
  TNoteItem* note = Note.Get();
  // A failing step leaves the rest undone, as a half-loaded window is better than none.
  try {
    if (Store) {
      StoreNote(note);
    } else {
      const TLoadGuard loading(this);
      LoadNote(note);
    }
    FillSheetLists();
  } catch (const std::exception&) {
    return true;
  }
  return TPropertyFrm::UpdateItem(Store);
}

// Only what the user changed here: a field another window stored meanwhile stays as it is.
void TNotePrp::StoreNote(TNoteItem* note) {
  if (Edited(ED_Caption)) {
    const std::string name = FromQString(ED_Caption->text());
    if (Container)
      Container->RenameNote(note, name);
    else
      note->SetName(name);
  }
  if (Edited(RichEditURL1)) {
    note->SetText(GetRichText());
    RichEditURL1->MarkStored(note->Data.Text);
    RichEditURL1->document()->setModified(false); // the note holds the text now: no "Modified"
  }
  if (Edited(PN_NoteColor)) note->SetColor(PN_NoteColor->Color());
  if (PC_Note->currentWidget() == TabSheet1 && lst_availablesheets->isEnabled()) lst_availablesheets->setFocus();
}

// Fields the user changed here keep what was typed or picked; the others show the note.
void TNotePrp::LoadNote(TNoteItem* note) {
  const QString name = ToQString(note->Data.Name);
  if (!Edited(ED_Caption) && ED_Caption->text() != name) ED_Caption->setText(name);
  SetInfo("Note - " + name);
  if (!Edited(RichEditURL1) && RichEditURL1->GetRichText() != note->Data.Text) RichEditURL1->SetRichText(note->Data.Text);
  if (!Edited(PN_NoteColor)) PN_NoteColor->SetColor(note->Data.Color);
  ShowPicture();
  ShowLogo();
  SetLinkCaptions();
  FillLinksTo();
  FillLinksFrom();
  SB_Contents->showMessage("Attachments of " + name);
  FillAttachments();
}

void TNotePrp::PC_NoteChange() {
  if (!Closing && !Loading) UpdateItem(true);
}

void TNotePrp::PC_NoteEnter() {
  const int half = TS_Memo->height() / 2;
  SheetsSplitter->setSizes({half, half});
}

void TNotePrp::RichEditURL1Exit() {
  if (!Loading) UpdateItem(true);
}

void TNotePrp::showEvent(QShowEvent* event) {
  TPropertyFrm::showEvent(event);
  FormShow();
}

void TNotePrp::resizeEvent(QResizeEvent* event) {
  TPropertyFrm::resizeEvent(event);
  SetTextMargins();
  SelectionChange();
}

} // namespace qel
