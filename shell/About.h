#pragma once
// The About window: the logo, the program's name and release, and a link to its help pages.
#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace qel {

class Tfrm_about : public QDialog {
  Q_OBJECT
public:
  explicit Tfrm_about(QWidget* parent = nullptr);

  void btn_okClick();
  // Opens the address lbWebsite shows.
  void lbWebsiteClick();

  QFrame* Panel1;
  QLabel* img_brasklogo;
  QFrame* Panel2;
  QLabel* Label1;
  QLabel* Label3;
  QLabel* lbWebsite;
  QPushButton* btn_ok;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

extern Tfrm_about* frm_about;

} // namespace qel
