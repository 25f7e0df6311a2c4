#include "GuiTest.h"

#include <QApplication>

namespace qel::test {

void EnsureApplication() {
  static int argc = 1;
  static char name[] = "qel_tests";
  static char* argv[] = {name, nullptr};
  if (!QApplication::instance()) new QApplication(argc, argv);
  QCoreApplication::setApplicationName("QEL");
}

} // namespace qel::test

// The font library keeps a cache for the life of the process; it is not ours to free.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }
