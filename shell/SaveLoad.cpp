#include "SaveLoad.h"

#include <QLabel>

namespace qel {

TSaveLoadFrm* SaveLoadFrm = nullptr;

TSaveLoadFrm::TSaveLoadFrm(QWidget* owner)
    : QWidget(owner, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setWindowTitle("Saving data");
  setFixedSize(115, 26);
  move(719, 177);
  Panel1 = new QLabel("Please wait...", this);
  Panel1->setGeometry(rect());
  Panel1->setAlignment(Qt::AlignCenter);
  Panel2 = new QLabel("Please wait...", Panel1);
  Panel2->setGeometry(2, 2, 110, 21);
  Panel2->setAlignment(Qt::AlignCenter);
  Panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  Panel2->setAutoFillBackground(true);
}

} // namespace qel
