// The program's own windows, offscreen, on a generated project of 100,000 notes: writes the
// project, then starts this program again (a fresh process, as a user's start is) to open it
// and prints how long the open, the navigator and the first paint of a sheet window take, and
// the peak resident memory. Options: --notes=N for another size.
#include "GeneratedProject.h"
#include "windows/sheet/SheetForm.h"
#include "model/Container.h"
#include "platform/FileNames.h"
#include "platform/qt/Registry.h"
#include "shell/Main.h"
#include "shell/Program.h"
#include "shell/ProjectFile.h"
#include "windows/nav/Navigator.h"

#include <QApplication>
#include <QTemporaryDir>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

using namespace qel;

namespace {

using TClock = std::chrono::steady_clock;

double Ms(TClock::time_point since) { return std::chrono::duration<double, std::milli>(TClock::now() - since).count(); }

double PeakRssMb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return double(usage.ru_maxrss) / 1024;
}

// The measuring run: the windows made, the project opened, the navigator bound, a sheet shown.
int Open(const std::string& file, const std::string& settings) {
  TRegistry::SetStorageFolder(settings);
  TProgram program;
  QELMain->show();
  QApplication::processEvents();
  const double before = PeakRssMb();

  auto start = TClock::now();
  QELMain->LoadProject(file);
  const double open = Ms(start);

  start = TClock::now();
  NavForm->SetContainer(QELMain->Container());
  QApplication::processEvents();
  const double navigator = Ms(start);
  const double rssOpen = PeakRssMb();

  TContainer& project = *QELMain->Container();
  start = TClock::now();
  auto* window = new TDrawSheet();
  QELMain->AddChildWindow(window);
  window->resize(1920, 1080);
  window->SetSheet(&project, project.GetSheet(0));
  QApplication::processEvents();
  const double sheet = Ms(start);

  std::printf("project: %d notes, %d sheets, %d positions, %d links\n", project.NoteCount(), project.SheetCount(),
              project.PositionCount(), project.LinkCount());
  std::printf("open (load into the main window)      %8.1f ms\n", open);
  std::printf("navigator bound and painted           %8.1f ms\n", navigator);
  std::printf("first sheet window painted            %8.1f ms\n", sheet);
  std::printf("peak RSS: windows %.0f MB, after open %.0f MB, at the end %.0f MB\n", before, rssOpen, PeakRssMb());
  std::fflush(stdout);
  // The program's windows are left to the end of the process, as a user's quit does not wait.
  std::_Exit(0);
}

} // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (argc == 4 && std::strcmp(argv[1], "--open") == 0) {
    QApplication app(argc, argv);
    return Open(argv[2], argv[3]);
  }
  int notes = 100000;
  for (int i = 1; i < argc; ++i)
    if (std::strncmp(argv[i], "--notes=", 8) == 0) notes = std::atoi(argv[i] + 8);
  QTemporaryDir temp;
  if (!temp.isValid()) return 1;
  const std::string root = temp.path().toStdString() + "/";
  const std::string file = root + "project/Large.qel";
  {
    QCoreApplication app(argc, argv);
    bench::TProjectShape shape;
    shape.Notes = notes;
    shape.LinkNeighbours = true;
    shape.Text = bench::RtfBody;
    CreateDir(ExtractFilePath(file));
    bench::GenerateProject(shape)->SaveDataFiles(file);
    WriteProjectFile(file, false);
  }
  const std::string self = std::filesystem::canonical("/proc/self/exe").string();
  const std::string command = "'" + self + "' --open '" + file + "' '" + root + "settings'";
  std::fflush(stdout);
  return std::system(command.c_str()) == 0 ? 0 : 1;
}
