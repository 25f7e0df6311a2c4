#pragma once
// The autosave window: where and how often the project is saved by the timers, kept in the
// settings. Set stores the fields and applies them to the main window's two timers.
#include "platform/qt/Dialogs.h"

#include <QWidget>
#include <initializer_list>
#include <string>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace qel {

// Milliseconds for whole hours and minutes given as digits; an empty or non-numeric text is
// 0, and the sum is kept within the largest timer interval.
int IntervalOf(const std::string& hours, const std::string& minutes);
// A timer runs at the interval; 0 stops it. A changed interval starts its count anew.
void SetTimerInterval(QTimer& timer, int milliseconds);
// The folder under the user's documents that holds the work of projects without a name and,
// in its folder "Backup", the default backups; with its final separator.
std::string WorkFilesFolder();

class TfrmAutoSave : public QWidget {
  Q_OBJECT
public:
  explicit TfrmAutoSave(QWidget* parent = nullptr);

  // Fills empty fields: the work files with where the autosave writes, the backup with its
  // default, the times with "0".
  void FillDefaults();
  // Stores the six settings and applies both intervals.
  void SaveSettings();
  // Sets the main window's timers from the fields.
  void ApplyIntervals();
  int WorkInterval() const;
  int BackupInterval() const;

  // The default backup location follows the open project's name until the user picks one.
  void ProjectNamed(const std::string& projectFile);
  // Shows where the autosave writes the open project.
  void ShowWorkFiles(const std::string& projectFile);

  void FormActivate();
  void btnLocateBackupWorkfilesClick();
  void btnSetAutoSaveClick();
  void btnSetAutoSaveExit();
  void bnAutoSaveFinishClick();

  QLineEdit* edWorkFileAutoSaveHours;
  QLineEdit* edWorkFileAutoSaveMinutes;
  QPushButton* btnLocateBackupWorkfiles;
  QLineEdit* edLocateBackupWorkFiles;
  QLineEdit* edBackupWorkFileAutoSaveHours;
  QLineEdit* edBackupWorkFileAutoSaveMinutes;
  QPushButton* btnSetAutoSave;
  QLineEdit* edLocateWorkFiles;
  QGroupBox* gbQELfiles;
  QGroupBox* gbQELBackup;
  QPushButton* bnAutoSaveFinish;
  TFileDialogRequest SaveDialogBackupFile;

protected:
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  std::string FDefaultBackup; // the default backup location last shown
  QLineEdit* TimeEdit(QWidget* parent, const QRect& bounds, const char* text);
  struct TTimeRow {
    QGroupBox* Box;
    int LabelTop;
    const char* Text;
    QLineEdit* Hours;
    QLineEdit* Minutes;
  };
  void PlaceTimeRows(std::initializer_list<TTimeRow> rows);
  static void WidenToTexts(QPushButton* button, std::initializer_list<const char*> others);
};

extern TfrmAutoSave* frmAutoSave;

} // namespace qel
