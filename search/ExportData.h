#pragma once
// Stand-in for the export window until the full one is built: the window the program block
// creates at start-up; the main window calls nothing on it.
#include <QWidget>

namespace qel {

class TExpDataFrm : public QWidget {
  Q_OBJECT
public:
  explicit TExpDataFrm(QWidget* parent = nullptr);
};

extern TExpDataFrm* ExpDataFrm;

} // namespace qel
