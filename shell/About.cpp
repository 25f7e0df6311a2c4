#include "About.h"

#include "Logo.h"
#include "Main.h"
#include "platform/qt/Dialogs.h"
#include "platform/qt/QtConvert.h"
#include "platform/qt/ShellOpen.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace qel {

Tfrm_about* frm_about = nullptr;

namespace {

QFrame* SunkenPanel(QWidget* parent, const QRect& bounds) {
  auto* panel = new QFrame(parent);
  panel->setGeometry(bounds);
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  panel->setLineWidth(2);
  return panel;
}

} // namespace

Tfrm_about::Tfrm_about(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
  KeepAbove(this);
  setWindowTitle("About QEL");
  setFixedSize(284, 321);
  Panel1 = SunkenPanel(this, {7, 4, 269, 175});
  img_brasklogo = new QLabel(Panel1);
  img_brasklogo->setGeometry(3, 3, 263, 169);
  img_brasklogo->setPixmap(PaintLogo(img_brasklogo->size()));
  Panel2 = SunkenPanel(this, {7, 183, 269, 92});
  Label1 = new QLabel("QEL 6.0", Panel2);
  Label1->setGeometry(10, 8, 250, 20);
  QFont bold = Label1->font();
  bold.setBold(true);
  Label1->setFont(bold);
  Label3 = new QLabel("Linked notes on worksheets.", Panel2);
  Label3->setGeometry(10, 32, 250, 20);
  lbWebsite = new QLabel("QEL help pages", Panel2);
  lbWebsite->setGeometry(10, 60, 250, 20);
  QFont underlined = lbWebsite->font();
  underlined.setUnderline(true);
  lbWebsite->setFont(underlined);
  lbWebsite->setStyleSheet("color: rgb(0, 128, 192)");
  lbWebsite->setCursor(Qt::PointingHandCursor);
  lbWebsite->installEventFilter(this);
  btn_ok = new QPushButton("&Ok", this);
  btn_ok->setGeometry(104, 281, 75, 25);
  btn_ok->setDefault(true);
  connect(btn_ok, &QPushButton::clicked, this, &Tfrm_about::btn_okClick);
}

void Tfrm_about::btn_okClick() { accept(); }

void Tfrm_about::lbWebsiteClick() { ShellOpen(TQELMain::HelpFile()); }

bool Tfrm_about::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lbWebsite && event->type() == QEvent::MouseButtonRelease) {
    lbWebsiteClick();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

} // namespace qel
