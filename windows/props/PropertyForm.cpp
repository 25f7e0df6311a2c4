#include "PropertyForm.h"

#include "windows/MainServices.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QVBoxLayout>

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
  ED_Caption->setGeometry(0, 2, 443, 21);
  ED_Caption->hide();
  ED_Caption->installEventFilter(this);
  connect(ED_Caption, &QLineEdit::editingFinished, this, [this] {
    if (!ED_Caption->hasFocus()) return; // focus loss is handled by the event filter
    ED_CaptionExit();
  });
}

TPropertyFrm::~TPropertyFrm() { ED_Caption->disconnect(this); }

bool TPropertyFrm::UpdateItem(bool Store) {
  if (Store && MainServices) MainServices->RefreshSheetWindows();
  return true;
}

void TPropertyFrm::ShowItem() {
  if (MainServices) IL_Property = MainServices->ItemImages();
  Closing = false;
  // A page inside another window leaves the focus where the user has it.
  if (isWindow() && ED_Caption->isVisible() && ED_Caption->isEnabled()) ED_Caption->setFocus();
  Loading = true;
  UpdateItem(false);
  Loading = false;
}

bool TPropertyFrm::ClosedBecauseGone(bool gone) {
  if (!gone) return false;
  Closing = true;
  close();
  return true;
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

void TPropertyFrm::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  FormHide();
}

void TPropertyFrm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  FormResize();
}

bool TPropertyFrm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ED_Caption && event->type() == QEvent::FocusOut) ED_CaptionExit();
  return QWidget::eventFilter(watched, event);
}

} // namespace qel
