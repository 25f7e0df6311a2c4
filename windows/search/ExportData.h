#pragma once
// The "Export data" window: the user chooses the extent of the export, a folder and a file
// name, and starts the export of the search window that showed this window last. One
// instance lives as long as the program; closing it only hides it.
#include <QPointer>
#include <QWidget>
#include <string>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace qel {

class TfrmSearch;

class TExpDataFrm : public QWidget {
  Q_OBJECT
public:
  explicit TExpDataFrm(QWidget* parent = nullptr);

  // The folder last chosen in the folder dialog, where that dialog starts.
  std::string Directory;
  // "ExSmall" or "ExBig", after the choice shown; empty until the user has made one.
  std::string Mode;
  // The search window whose hits "Export data !" writes; null once it has closed.
  QPointer<TfrmSearch> SearchWindow;

  void btnExSmallClick();
  void btnExBigClick();
  void btnExDirClick();
  void ChooseDirectory();
  void btnImExClick();
  void btnImExExit();

  QGroupBox* RadioGroup1;
  QRadioButton* rbNotAtt;
  QRadioButton* rbShNotLnkAtt;
  QGroupBox* GroupBox1;
  QLabel* lblFilename;
  QPushButton* btnExDir;
  QLineEdit* mExDir;
  QLineEdit* edtExFn;
  QPushButton* btnImEx;

protected:
  void closeEvent(QCloseEvent* event) override;
  // Reaching "Path :" with the keyboard opens the folder dialog; the button leaving the focus
  // takes back its caption.
  bool eventFilter(QObject* watched, QEvent* event) override;
};

extern TExpDataFrm* ExpDataFrm;

} // namespace qel
