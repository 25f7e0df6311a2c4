#pragma once
// A lowered panel that shows a colour; it reports clicks and double clicks, and the window
// that owns it decides what they do (usually ask for another colour).
#include "platform/Colors.h"

#include <QFrame>

namespace qel {

class TColorPanel : public QFrame {
  Q_OBJECT
public:
  explicit TColorPanel(QWidget* parent = nullptr, TColor color = clBlack);
  TColor Color() const { return FColor; }
  void SetColor(TColor color);

signals:
  void Clicked();
  void DoubleClicked();

protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

private:
  TColor FColor = clBlack;
};

} // namespace qel
