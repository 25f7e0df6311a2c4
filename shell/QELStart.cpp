#include "QELStart.h"

#include "Logo.h"

#include <QEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>

namespace qel {

int TStartForm::TickInterval = 1000;

TStartForm::TStartForm(QWidget* owner) : QWidget(owner, Qt::SplashScreen | Qt::FramelessWindowHint) {
  setFixedSize(323, 250);
  Panel1 = new QFrame(this);
  Panel1->setGeometry(rect());
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  img_brasklogo = new QLabel(Panel1);
  img_brasklogo->setGeometry(8, 8, 305, 169);
  img_brasklogo->setPixmap(PaintLogo(img_brasklogo->size()));
  StaticText1 = new QLabel("Notes on worksheets", Panel1);
  StaticText1->move(8, 184);
  StaticText3 = new QLabel("6.0", Panel1);
  StaticText3->move(250, 184);
  Bevel1 = new QFrame(Panel1);
  Bevel1->setGeometry(8, 202, 305, 2);
  Bevel1->setFrameStyle(QFrame::HLine | QFrame::Sunken);
  StaticText2 = new QLabel("Opening last project...", Panel1);
  StaticText2->move(8, 208);
  PB_StartUp = new QProgressBar(Panel1);
  PB_StartUp->setGeometry(8, 226, 305, 16);
  PB_StartUp->setTextVisible(false);
  Panel1->installEventFilter(this);
  img_brasklogo->installEventFilter(this);
  TR_KillTimer = new QTimer(this);
  TR_KillTimer->setInterval(TickInterval);
  connect(TR_KillTimer, &QTimer::timeout, this, &TStartForm::TR_KillTimerTimer);
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->geometry().center() - rect().center());
  FormCreate();
}

void TStartForm::FormCreate() {
  Done = false;
  Ticks = 0;
  TR_KillTimer->start();
}

void TStartForm::TR_KillTimerTimer() {
  if (++Ticks > 2) Done = true;
}

void TStartForm::FormClick() { Ticks = 3; }
void TStartForm::Panel1Click() { Ticks = 3; }
void TStartForm::img_brasklogoClick() { Ticks = 3; }

void TStartForm::SetRange(int minimum, int maximum) { PB_StartUp->setRange(minimum, maximum); }

void TStartForm::SetPosition(int position) {
  PB_StartUp->setValue(position);
  // The load runs without a message pass; paint the step now.
  PB_StartUp->repaint();
}

void TStartForm::mouseReleaseEvent(QMouseEvent*) { FormClick(); }

bool TStartForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease) {
    if (watched == img_brasklogo) {
      img_brasklogoClick();
      return true;
    }
    if (watched == Panel1) {
      Panel1Click();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

} // namespace qel
