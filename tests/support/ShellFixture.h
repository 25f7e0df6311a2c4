#pragma once
// Shared set-up of the shell tests: a temporary folder as the current folder, settings kept
// in it, scripted dialogs, the program's windows, and helpers that build projects on disk.
#include "GuiTest.h"
#include "model/Container.h"
#include "platform/qt/ScriptedDialogs.h"
#include "shell/Program.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qel::test {

// A project built in memory: Notes notes, Sheets sheets, every note placed on the first sheet
// (and on the second when there is one), links from each note to the next, one attachment on
// the first note, and the three default relation types.
struct TProjectShape {
  int Notes = 2;
  int Sheets = 1;
  int Attachments = 1;
  int Links = 1;
  std::string NotePrefix = "Note";
};
std::unique_ptr<TContainer> BuildProject(const TProjectShape& shape);
// Writes the project's data files and a project file with Grid as given.
void WriteProject(TContainer& project, const std::string& fileName, bool grid = true);
std::string ReadBytes(const std::string& fileName);
std::vector<std::string> RelationNames(const TContainer& project);

class ShellTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // The nine windows, as the program block makes them (not shown).
  void CreateWindows();
  // The windows and the start-up of the main window.
  void StartUp();
  // Saves a project of the shape under Root + name as the last project, then starts up.
  std::string OpenProject(const TProjectShape& shape, const std::string& name = "p/Proj.qel");
  void SetLastProject(const std::string& fileName);
  std::string LastProject();
  TContainer& Project();
  std::string Caption();

  QTemporaryDir Temp;
  std::string Root; // the temporary folder, with its separator
  std::string Work; // the current folder during the test, with its separator
  std::string Home; // the user's home folder during the test (documents under it), with its separator
  TScriptedDialogs Script;
  std::unique_ptr<TProgram> Program;

private:
  std::string FOldDir;
  std::vector<std::pair<const char*, std::optional<QByteArray>>> FOldEnvironment;
};

} // namespace qel::test
