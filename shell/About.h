#pragma once
// The About window.
#include <QDialog>

namespace qel {

class Tfrm_about : public QDialog {
  Q_OBJECT
public:
  explicit Tfrm_about(QWidget* parent = nullptr);
};

extern Tfrm_about* frm_about;

} // namespace qel
