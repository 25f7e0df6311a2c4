#pragma once
// The start screen shown while the last project opens. Its progress bar is the one the load
// advances; its timer ends it at the third tick, or at the first tick after a click.
#include "model/ContainerHost.h"

#include <QWidget>

class QFrame;
class QLabel;
class QProgressBar;
class QTimer;

namespace qel {

class TStartForm : public QWidget, public IProgressBar {
  Q_OBJECT
public:
  explicit TStartForm(QWidget* owner);

  // Milliseconds between ticks of TR_KillTimer.
  static int TickInterval;

  void TR_KillTimerTimer();
  void FormClick();
  void Panel1Click();
  void img_brasklogoClick();

  // PB_StartUp as the load's progress bar.
  void SetRange(int minimum, int maximum) override;
  void SetPosition(int position) override;

  bool Done = false; // the screen may close
  int Ticks = 0;     // timer ticks counted

  QFrame* Panel1;
  QLabel* img_brasklogo;
  QLabel* StaticText1;
  QLabel* StaticText3;
  QFrame* Bevel1;
  QLabel* StaticText2;
  QProgressBar* PB_StartUp;
  QTimer* TR_KillTimer;

protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void FormCreate();
};

} // namespace qel
