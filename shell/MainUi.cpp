// The main window's tool bars and menus.
#include "Main.h"

#include <QMenuBar>
#include <QToolBar>

namespace qel {

void TQELMain::CreateComponents() {
  ToolBarMain = addToolBar("ToolBarMain");
  ToolBarMain->setMovable(false);
  ToolBarFile = new QToolBar("ToolBarFile", ToolBarMain);
  ToolBarMain->addWidget(ToolBarFile);
  auto button = [this](const char* caption, const char* hint, void (TQELMain::*handler)()) {
    QAction* action = ToolBarFile->addAction(caption, this, handler);
    action->setToolTip(hint);
    return action;
  };
  button("New", "New Project", &TQELMain::TB_NewClick);
  button("Open", "Open Project", &TQELMain::TB_OpenClick);
  button("Save", "Save Project", &TQELMain::TB_SaveClick);
  button("Exit", "Exit QEL", &TQELMain::TB_ExitClick);
  button("Import", "Import File", &TQELMain::tbImportClick);

  MI_File = menuBar()->addMenu("&File");
  MI_File->addAction("&New", this, &TQELMain::TB_NewClick);
  MI_File->addAction("&Open...", this, &TQELMain::TB_OpenClick);
  Reopen = MI_File->addMenu("&Reopen");
  MI_File->addAction("&Save...", QKeySequence("Ctrl+S"), this, &TQELMain::TB_SaveClick);
  MI_File->addAction("Save &As...", this, &TQELMain::MI_FileSaveAsClick);
  MI_File->addSeparator();
  MI_File->addAction("&Exit", this, &TQELMain::TB_ExitClick);

  OpenDialog.DefaultExt = "qel";
  OpenDialog.Filter = "QEL Projects (*.qel)|*.qel";
  OpenDialog.FileMustExist = true;
  SaveDialog.DefaultExt = "qel";
  SaveDialog.Filter = "QEL Projects (*.qel)|*.qel|All Files (*.*)|*.*";
  SaveDialog.OverwritePrompt = true;
}

} // namespace qel
