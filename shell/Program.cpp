#include "Program.h"

#include "About.h"
#include "AutoSave.h"
#include "Logo.h"
#include "Main.h"
#include "SaveLoad.h"
#include "windows/search/ExportData.h"
#include "windows/nav/Navigator.h"
#include "windows/links/NewLink.h"
#include "windows/props/NoteProp.h"
#include "windows/links/RelationFrm.h"

#include <QApplication>

namespace qel {

TProgram::TProgram() {
  QCoreApplication::setApplicationName("QEL");
  // Every window without an icon of its own shows the program's.
  QApplication::setWindowIcon(ProgramIcon());
  FWindows.emplace_back(QELMain = new TQELMain());
  MainServices = QELMain;
  FWindows.emplace_back(RelationForm = new TRelationForm());
  FWindows.emplace_back(frm_about = new Tfrm_about());
  FWindows.emplace_back(SaveLoadFrm = new TSaveLoadFrm());
  FWindows.emplace_back(ExpDataFrm = new TExpDataFrm());
  FWindows.emplace_back(frmAutoSave = new TfrmAutoSave());
  FWindows.emplace_back(NotePrp = new TNotePrp());
  NavForm = new TNavForm();
  QELMain->AddChildWindow(NavForm)->showMaximized();
  FWindows.emplace_back(NavForm);
  FWindows.emplace_back(NewLinkForm = new TNewLinkForm());
}

TProgram::~TProgram() {
  for (auto it = FWindows.rbegin(); it != FWindows.rend(); ++it) delete it->data();
  RelationForm = nullptr;
  frm_about = nullptr;
  SaveLoadFrm = nullptr;
  ExpDataFrm = nullptr;
  frmAutoSave = nullptr;
  NotePrp = nullptr;
  NewLinkForm = nullptr;
}

int TProgram::Run() {
  QApplication::setQuitOnLastWindowClosed(false);
  QObject::connect(QELMain, &TQELMain::Closed, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
  QELMain->showMaximized();
  return QApplication::exec();
}

} // namespace qel
