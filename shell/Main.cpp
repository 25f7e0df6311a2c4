#include "Main.h"

#include "AutoSave.h"
#include "QELStart.h"
#include "SaveLoad.h"
#include "windows/sheet/SheetForm.h"
#include "platform/FileNames.h"
#include "platform/qt/QtConvert.h"
#include "windows/nav/Navigator.h"
#include "windows/props/NoteProp.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QMenuBar>
#include <QPrinter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

namespace qel {

TQELMain* QELMain = nullptr;

TQELMain::TQELMain(QWidget* parent) : QMainWindow(parent) {
  setGeometry(73, 186, 743, 277);
  MdiArea = new QMdiArea(this);
  setCentralWidget(MdiArea);
  statusBar()->setSizeGripEnabled(false); // says what a command did (an import)
  FNotices = new TMainNotices(this);
  connect(this, &TQELMain::PendingEditsRequested, FNotices, &TMainNotices::PendingEditsRequested);
  connect(this, &TQELMain::ProjectReleasing, FNotices, &TMainNotices::ProjectReleasing);
  CreateComponents();
  // The zoom box follows the sheet window it applies to.
  connect(MdiArea, &QMdiArea::subWindowActivated, this, &TQELMain::UpdateZoomBox);
  UpdateZoomBox();
  FormCreate();
}

TQELMain::~TQELMain() {
  // Child windows go before the project they show.
  for (QMdiSubWindow* sub : MdiArea->subWindowList()) delete sub;
  if (NewNoteWindow) delete NewNoteWindow.data();
  if (QELMain == this) QELMain = nullptr;
  if (MainServices == this) MainServices = nullptr;
}

void TQELMain::FormCreate() {
  FContainer = NewContainer("Noname.qel");
  StartupBar = nullptr;
  ReadIDLoad();
}

std::unique_ptr<TContainer> TQELMain::NewContainer(const std::string& fileName) {
  auto container = std::make_unique<TContainer>();
  container->FileName = fileName;
  container->Host = this;
  return container;
}

void TQELMain::SetCaption(const std::string& fileName) {
  setWindowTitle(ToQString("QEL - " + ExtractFileName(fileName)));
  if (frmAutoSave) {
    frmAutoSave->ProjectNamed(fileName);
    frmAutoSave->ShowWorkFiles(AutoSaveName());
  }
}

int TQELMain::ClientWidth() const { return width(); }

int TQELMain::ClientHeight() const {
  const int status = statusBar()->isVisible() ? statusBar()->height() : 0;
  return height() - (menuWidget() ? menuWidget()->height() : 0) - status;
}

int TQELMain::ToolBarMainHeight() const { return ToolBarMain->isVisible() ? ToolBarMain->height() : 0; }

void TQELMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // Start-up runs once the window is on screen, from the message loop.
  if (!FStarted) QTimer::singleShot(0, this, [this] {
      if (!FStarted) FormShow();
    });
}

void TQELMain::FormShow() {
  FStarted = true;
  StartForm = std::make_unique<TStartForm>(this);
  StartupBar = StartForm.get();
  // The stored autosave settings hold from the start, whatever the load does.
  ReadAutoSaveSettings();
  StartForm->show();
  QCoreApplication::processEvents();
  OpenLastProject();
  BindNavigators();
  CB_Zoom->setCurrentIndex(1);
  while (!StartForm->Done) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  StartForm.reset();
  StartupBar = nullptr;
}

void TQELMain::OpenLastProject() {
  std::string last = ReadLastProject();
  if (!last.empty() && FileExists(last)) {
    LoadProject(last);
  } else {
    FContainer->FileName = IncludeTrailingPathDelimiter(GetCurrentDir()) + "Noname.qel";
    AddDefaultRelationTypes();
    FContainer->SetModified(false);
  }
  SetCaption(FContainer->FileName);
}

void TQELMain::closeEvent(QCloseEvent* event) {
  const auto run = CommandRun([this] { close(); });
  if (!run || !QuerySaveProject()) {
    event->ignore();
    return;
  }
  if (NewNoteWindow) {
    try {
      NewNoteWindow->close();
    } catch (...) {
    }
  }
  event->accept();
  emit Closed();
}

void TQELMain::TB_ExitClick() { close(); }

// ---- commands wait while the project is busy

TQELMain::TBusyRun::~TBusyRun() {
  --FMain.FBusy;
  FMain.PostWaitingCommand();
}

std::unique_ptr<TQELMain::TBusyRun> TQELMain::CommandRun(std::function<void()> command) {
  if (Busy()) {
    FWaiting.push_back(std::move(command));
    return nullptr;
  }
  return std::make_unique<TBusyRun>(*this);
}

std::unique_ptr<TProjectHold> TQELMain::HoldProject() {
  struct THold : TProjectHold {
    explicit THold(TQELMain& main) : Run(main) {}
    TBusyRun Run;
  };
  return std::make_unique<THold>(*this);
}

void TQELMain::PostWaitingCommand() {
  if (Busy() || FWaiting.empty() || FWaitingPosted) return;
  // From the message loop, not from inside the code that was busy.
  FWaitingPosted = true;
  QTimer::singleShot(0, this, [this] { RunWaitingCommand(); });
}

void TQELMain::RunWaitingCommand() {
  FWaitingPosted = false;
  if (Busy() || FWaiting.empty()) return; // posted again when the busy run ends
  std::function<void()> command = std::move(FWaiting.front());
  FWaiting.pop_front();
  command(); // it takes its own busy run, so the next one waits for it
  PostWaitingCommand();
}

// An error box of the model during a save is one of that save's refusals: a timed save shows
// it once.
void TQELMain::ShowErrorBox(const std::string& text) {
  if (FSaveTarget) return ReportSaveError(FSaveTarget->first, text, FSaveTarget->second, true);
  MessageDlg(text, TMsgDlgType::mtError, mbOK);
}

void TQELMain::ShowMessage(const std::string& text) { qel::ShowMessage(text); }

} // namespace qel
