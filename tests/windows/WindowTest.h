#pragma once
// Shared set-up of the property window tests: a project in memory with its folder in a
// temporary directory, scripted dialogs (an unexpected box fails the test) and a shell opener
// that records instead of launching.
#include "GuiTest.h"
#include "model/Container.h"
#include "platform/qt/ScriptedDialogs.h"
#include "platform/qt/ShellOpen.h"

#include <QIcon>
#include <QList>
#include <QPrinter>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace qel::test {

class TOpenRecorder : public IShellOpener {
public:
  TOpenRecorder() : FPrevious(SetShellOpener(this)) {}
  ~TOpenRecorder() override { SetShellOpener(FPrevious); }
  bool Open(const std::string& target) override {
    Opened.push_back(target);
    return Succeeds;
  }
  std::vector<std::string> Opened;
  bool Succeeds = true;

private:
  IShellOpener* FPrevious;
};

class WindowTest : public ::testing::Test {
protected:
  WindowTest();
  TNoteItem* AddNote(const std::string& name, const std::string& text = {});
  TSheetItem* AddSheet(const std::string& name);
  // Placed at (x, y), or only assigned when x < 0.
  void Put(TNoteItem* note, TSheetItem* sheet, int x = 10, int y = 10);
  TLinkItem* Link(TNoteItem* from, TNoteItem* to, TSheetItem* sheet);
  std::string Folder() const { return Project.Directory; }
  // Nine icons that tell apart which image a row shows.
  static QList<QIcon> DistinctIcons();
  // A printer that prints into the PDF file of that name in the project's folder.
  std::unique_ptr<QPrinter> PdfPrinter(const std::string& name) const;

  struct TApplication {
    TApplication() { EnsureApplication(); }
  } Application; // before any widget
  QTemporaryDir Temp;
  TContainer Project;
  TScriptedDialogs Script;
  TOpenRecorder Opener;
};

} // namespace qel::test
