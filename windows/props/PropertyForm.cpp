#include "PropertyForm.h"

#include "model/PoolItemList.h"
#include "platform/qt/StorableText.h"
#include "windows/MainServices.h"

#include <QCloseEvent>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QScreen>
#include <QStatusBar>
#include <QTextEdit>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>

namespace qel {

TPropertyFrm::TPropertyFrm(QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags) {
  setWindowTitle("PropertyFrm");
  resize(417, 77);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  InfoBar = new QStatusBar(this);
  InfoBar->setSizeGripEnabled(false);
  InfoBar->setFixedHeight(25);
  InfoText = new QLabel(InfoBar);
  InfoBar->addWidget(InfoText, 1);
  layout->addWidget(InfoBar);
  layout->addStretch(1);
  // The caption box lies over the info bar while the name is editable.
  ED_Caption = new QLineEdit(this);
  GuardStorableText(ED_Caption);
  ED_Caption->setGeometry(0, 2, 443, 21);
  ED_Caption->hide();
  ED_Caption->installEventFilter(this);
  InfoBar->installEventFilter(this); // the caption box follows it
  connect(ED_Caption, &QLineEdit::editingFinished, this, [this] {
    if (!ED_Caption->hasFocus()) return; // focus loss is handled by the event filter
    ED_CaptionExit();
  });
  WatchEdits(ED_Caption, &QLineEdit::textChanged);
  if (MainServices) connect(MainServices->Notices(), &TMainNotices::ItemChanged, this, &TPropertyFrm::ItemChanged);
}

TPropertyFrm::~TPropertyFrm() {
  ED_Caption->disconnect(this);
  if (MainServices) MainServices->Notices()->disconnect(this);
}

void TPropertyFrm::ItemChanged(const void* item) {
  if (Closing || Loading) return;
  // The user deleted the item: the window goes without a word.
  if (FBound && ItemGone()) {
    CloseIfGone();
    return;
  }
  if (!GetItem() || (item && item != GetItem())) return;
  // A hidden window loads again when it is shown.
  if (isVisible())
    Reload();
  else
    FStale = true;
}

// The sheet windows' refresh also tells every other window of the change.
bool TPropertyFrm::UpdateItem(bool Store) {
  if (!Store) return true;
  ClearEdited();
  if (MainServices) MainServices->RefreshSheetWindows();
  return true;
}

bool TPropertyFrm::StorePending() {
  if (Closing || Loading || !AnyEdited() || !GetItem() || ItemGone()) return false;
  UpdateItem(true);
  return true;
}

void TPropertyFrm::Reload() {
  if (ItemGone()) return;
  const TLoadGuard loading(this);
  FStale = false;
  UpdateItem(false);
}

void TPropertyFrm::StoreOwnedWindows(const QWidget* owner) {
  // findChildren lists a window before what lies inside it.
  const QList<TPropertyFrm*> found = owner->findChildren<TPropertyFrm*>();
  QList<QPointer<TPropertyFrm>> windows(found.rbegin(), found.rend());
  for (const QPointer<TPropertyFrm>& window : windows) {
    if (!window) continue;
    try {
      window->StorePending();
    } catch (const std::exception&) {
      // A window that cannot store keeps its edits.
    }
  }
}

void TPropertyFrm::MarkEdited(const QObject* control) {
  if (!Loading) FEdited.insert(control);
}

void TPropertyFrm::WatchText(QTextEdit* text) {
  connect(text->document(), &QTextDocument::contentsChanged, this, [this, text] { MarkEdited(text); });
}

bool TPropertyFrm::BindItem(const void* item) {
  StorePending();
  ClearEdited();
  FBound = item != nullptr;
  return item != GetItem();
}

void TPropertyFrm::ShowItem() {
  if (MainServices) IL_Property = MainServices->ItemImages();
  Closing = false;
  // A page inside another window leaves the focus where the user has it.
  if (isWindow() && ED_Caption->isVisible() && ED_Caption->isEnabled()) ED_Caption->setFocus();
  Loading = true;
  FStale = false;
  UpdateItem(false);
  Loading = false;
}

bool TPropertyFrm::ClosedBecauseGone(bool gone) {
  if (!gone) return false;
  Closing = true;
  close();
  return true;
}

bool TPropertyFrm::CloseIfGone() { return ClosedBecauseGone(ItemGone()); }

bool TPropertyFrm::MissingFrom(const TPoolItemList* pool, const TPoolItem* item) const {
  return !item || (Container && pool && pool->IndexOf(item) < 0);
}

void TPropertyFrm::StoreWhenAsked() {
  if (!MainServices) return;
  connect(MainServices->Notices(), &TMainNotices::PendingEditsRequested, this, [this] {
    if (isWindow() && isVisible() && !Closing && !Loading && GetItem()) StorePending();
  });
}

void TPropertyFrm::SetInfo(const QString& text) { InfoText->setText(text); }

void TPropertyFrm::ED_CaptionExit() {
  if (!Closing) UpdateItem(true);
}

void TPropertyFrm::FormHide() {
  if (!Closing) ED_Caption->hide();
}

void TPropertyFrm::FormResize() {
  if (!Closing) ED_Caption->resize(InfoBar->width(), ED_Caption->height());
}

// Whatever hid the window, it may have missed changes meanwhile.
void TPropertyFrm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  FitToScreen();
  if (Closing || Loading || !GetItem()) return;
  if (FStale) Reload();
  if (FCaptionShown) ED_Caption->show(); // hiding hid it; the name is editable again
  FCaptionShown = false;
}

// A window of its own ends above the bottom of the screen's free area.
void TPropertyFrm::FitToScreen() {
  const QScreen* screen = this->screen();
  if (!isWindow() || !screen) return;
  const QRect free = screen->availableGeometry();
  const int frame = frameGeometry().height() - height();
  const int most = free.bottom() + 1 - std::max(y(), free.top()) - frame;
  if (height() > most && most > 0) resize(width(), std::max(most, minimumHeight()));
}

// Closing or hiding (also a page whose owner shows another page) keeps what was typed or
// picked. Only that: other controls may show values changed elsewhere since the load. A
// window freed by its close takes the windows opened from it along: they store first.
void TPropertyFrm::closeEvent(QCloseEvent* event) {
  StorePending();
  if (testAttribute(Qt::WA_DeleteOnClose)) StoreOwnedWindows(this);
  event->accept();
}

void TPropertyFrm::hideEvent(QHideEvent* event) {
  StorePending();
  FStale = true;
  FCaptionShown = FCaptionShown || !ED_Caption->isHidden();
  QWidget::hideEvent(event);
  FormHide();
}

void TPropertyFrm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  FormResize();
}

bool TPropertyFrm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ED_Caption && event->type() == QEvent::FocusOut) ED_CaptionExit();
  // The info bar moves when a bar above it comes or goes (a page hides its window's menu): the
  // caption box stays over it, never over what lies below it.
  if (watched == InfoBar && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
    ED_Caption->move(InfoBar->x(), InfoBar->y() + 2);
  return QWidget::eventFilter(watched, event);
}

} // namespace qel
