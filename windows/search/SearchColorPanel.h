#pragma once
// A colour panel of the search window: it shows the colour searched for, and a hatched shape
// covers it while colour search is off. Clicks reach the panel only while it is enabled.
#include "platform/Colors.h"

#include <QFrame>

namespace qel {

// The hatched cover; it lets the mouse through to the panel.
class TSearchShape : public QWidget {
public:
  TSearchShape(QWidget* parent, TColor hatch);
  TColor Hatch;

protected:
  void paintEvent(QPaintEvent* event) override;
};

class TSearchColorPanel : public QFrame {
  Q_OBJECT
public:
  TSearchColorPanel(QWidget* parent, TColor hatch);

  TColor GetColor() const { return FColor; }
  void SetColor(TColor color);
  TSearchShape* Shape;

signals:
  void Clicked();
  void DoubleClicked();

protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
  TColor FColor = clWhite; // so a colour search finds white items from the start
};

} // namespace qel
