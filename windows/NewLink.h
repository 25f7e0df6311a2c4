#pragma once
// Stand-in for the new-link dialog until the full one is built: the window the program block
// creates at start-up; the main window calls nothing on it.
#include <QDialog>

namespace qel {

class TNewLinkForm : public QDialog {
  Q_OBJECT
public:
  explicit TNewLinkForm(QWidget* parent = nullptr);
};

extern TNewLinkForm* NewLinkForm;

} // namespace qel
