#pragma once
// The program's windows: the program block creates the nine start-up windows in their order,
// each held by its global, and frees them in reverse order when the program ends.
#include <QPointer>
#include <QWidget>
#include <vector>

namespace qel {

class TProgram {
public:
  // Sets the application title and creates the windows (the main window first).
  TProgram();
  ~TProgram();
  TProgram(const TProgram&) = delete;
  TProgram& operator=(const TProgram&) = delete;

  // Shows the main window and runs the message loop until the main window closes.
  int Run();

private:
  std::vector<QPointer<QWidget>> FWindows; // in creation order
};

} // namespace qel
