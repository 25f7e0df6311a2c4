#pragma once
// The small "Please wait..." window shown while a save runs. Each save makes its own.
#include <QWidget>

class QLabel;

namespace qel {

class TSaveLoadFrm : public QWidget {
  Q_OBJECT
public:
  explicit TSaveLoadFrm(QWidget* owner = nullptr);

  QLabel* Panel1;
  QLabel* Panel2;
};

extern TSaveLoadFrm* SaveLoadFrm;

} // namespace qel
