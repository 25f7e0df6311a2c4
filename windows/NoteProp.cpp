#include "NoteProp.h"

#include "model/Container.h"
#include "platform/qt/QtConvert.h"
#include "shell/Main.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QTabWidget>
#include <QVBoxLayout>

namespace qel {

TNotePrp* NotePrp = nullptr;

TNotePrp::TNotePrp(QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags) {
  setWindowTitle("Note");
  auto* layout = new QVBoxLayout(this);
  ED_Caption = new QLineEdit(this);
  PC_Note = new QTabWidget(this);
  for (const char* page : {"&Memo", "&Properties", "&Sheets"}) PC_Note->addTab(new QWidget(PC_Note), page);
  layout->addWidget(ED_Caption);
  layout->addWidget(PC_Note, 1);
  if (QELMain)
    connect(QELMain, &TQELMain::ProjectReleasing, this, [this](TContainer* project) {
      if (Container == project) Container = nullptr;
    });
}

void TNotePrp::ShowNote(TNoteItem* note, TPoolItemList* relationPool, TPoolItemList* linkPool) {
  if (note != Note.Get()) Note = note;
  RelationPool = relationPool;
  LinkPool = linkPool;
  Closing = false;
  UpdateItem(false);
}

bool TNotePrp::UpdateItem(bool Store) {
  TNoteItem* note = Note.Get();
  if (!note || (Container && !Container->HasNote(note))) {
    Closing = true;
    close();
    return true;
  }
  if (Store)
    note->SetName(FromQString(ED_Caption->text()));
  else
    ED_Caption->setText(ToQString(note->Data.Name));
  if (Store && QELMain) QELMain->RefreshSheetWindows();
  return true;
}

void TNotePrp::closeEvent(QCloseEvent* event) {
  if (!Closing) UpdateItem(true);
  event->accept();
}

} // namespace qel
