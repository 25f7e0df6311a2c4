#include "SaveLoad.h"

#include "platform/qt/Dialogs.h"

#include <QLabel>
#include <algorithm>

namespace qel {

TSaveLoadFrm* SaveLoadFrm = nullptr;

TSaveLoadFrm::TSaveLoadFrm(QWidget* owner)
    : QWidget(owner, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setWindowTitle("Saving data");
  // Wide enough for the whole title.
  setFixedSize(std::max(115, TitleBarWidth(windowTitle())), 26);
  move(719, 177);
  Panel1 = new QLabel("Please wait...", this);
  Panel1->setGeometry(rect());
  Panel1->setAlignment(Qt::AlignCenter);
  Panel2 = new QLabel("Please wait...", Panel1);
  Panel2->setGeometry(2, 2, width() - 5, 21);
  Panel2->setAlignment(Qt::AlignCenter);
  Panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  Panel2->setAutoFillBackground(true);
}

} // namespace qel
