#pragma once
// The autosave settings window.
#include <QWidget>

namespace qel {

class TfrmAutoSave : public QWidget {
  Q_OBJECT
public:
  explicit TfrmAutoSave(QWidget* parent = nullptr);
};

extern TfrmAutoSave* frmAutoSave;

} // namespace qel
