// The program block.
#include "shell/Program.h"

#include <QApplication>

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  qel::TProgram program;
  return program.Run();
}
