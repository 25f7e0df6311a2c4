#include "ShellFixture.h"

#include "platform/FileNames.h"
#include "platform/qt/QtConvert.h"
#include "platform/qt/Registry.h"
#include "shell/Main.h"
#include "shell/ProjectFile.h"
#include "shell/QELStart.h"

#include <QApplication>

namespace qel::test {

std::unique_ptr<TContainer> BuildProject(const TProjectShape& shape) {
  auto project = std::make_unique<TContainer>();
  for (const char* name : {"leads to", "consists of", "assumes"}) {
    TRelation relation;
    relation.Name = name;
    project->AddRelation(relation);
  }
  for (int i = 0; i < shape.Sheets; ++i) {
    TSheet sheet;
    sheet.Name = "Sheet " + std::to_string(i + 1);
    project->AddSheet(sheet);
  }
  for (int i = 0; i < shape.Notes; ++i) {
    TNote note;
    note.Name = shape.NotePrefix + " " + std::to_string(i + 1);
    TNoteItem* item = project->AddNote(note);
    for (int s = 0; s < std::min(shape.Sheets, 2); ++s) project->PlaceNote(item, project->GetSheet(s), 10 * i, 20);
  }
  for (int i = 0; i < shape.Links; ++i)
    project->NewLink(project->GetNote(i % shape.Notes), project->GetNote((i + 1) % shape.Notes),
                     project->GetRelation(i % 3), project->GetSheet(0));
  for (int i = 0; i < shape.Attachments; ++i) {
    TAttachment attachment;
    attachment.Note = project->GetNote(0);
    attachment.Caption = "Attachment " + std::to_string(i + 1);
    project->AddAttachment(attachment);
  }
  return project;
}

void WriteProject(TContainer& project, const std::string& fileName, bool grid) {
  CreateDir(ExtractFilePath(fileName));
  project.SaveDataFiles(fileName);
  WriteProjectFile(fileName, grid);
}

std::string ReadBytes(const std::string& fileName) { return ReadFileBytes(fileName); }

std::vector<std::string> RelationNames(const TContainer& project) {
  std::vector<std::string> names;
  for (int i = 0; i < project.RelationCount(); ++i) names.push_back(project.GetRelation(i)->Data.Name);
  return names;
}

void ShellTest::SetUp() {
  EnsureApplication();
  ASSERT_TRUE(Temp.isValid());
  FOldDir = GetCurrentDir();
  Root = IncludeTrailingPathDelimiter(FromQString(Temp.path()));
  Work = Root + "work/";
  ASSERT_TRUE(CreateDir(Work));
  ASSERT_TRUE(SetCurrentDir(Work));
  // The user's documents (work files, default backups) lie in the temporary folder too.
  Home = Root + "home/";
  ASSERT_TRUE(CreateDir(Home));
  for (auto [name, value] : {std::pair{"HOME", Home}, {"XDG_CONFIG_HOME", Home + ".config"}}) {
    FOldEnvironment.emplace_back(name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt);
    qputenv(name, QByteArray::fromStdString(value));
  }
  TRegistry::SetStorageFolder(Root + "settings");
  TStartForm::TickInterval = 1;
  AddOnLoad = false;
  Script.OnFailure = [](const std::string& message) { ADD_FAILURE() << message; };
}

void ShellTest::TearDown() {
  Program.reset();
  SetCurrentDir(FOldDir);
  for (const auto& [name, value] : FOldEnvironment)
    if (value) qputenv(name, *value);
    else qunsetenv(name);
  FOldEnvironment.clear();
  EXPECT_EQ(Script.Pending(), 0u) << "answers left unused";
}

void ShellTest::CreateWindows() { Program = std::make_unique<TProgram>(); }

void ShellTest::StartUp() {
  CreateWindows();
  QELMain->FormShow();
}

std::string ShellTest::OpenProject(const TProjectShape& shape, const std::string& name) {
  auto saved = BuildProject(shape);
  const std::string fileName = Root + name;
  WriteProject(*saved, fileName);
  SetLastProject(fileName);
  StartUp();
  return fileName;
}

void ShellTest::SetLastProject(const std::string& fileName) {
  TRegistry registry;
  ASSERT_TRUE(registry.OpenKey(kQelKey, true));
  registry.WriteString("LastProject", fileName);
}

std::string ShellTest::LastProject() {
  TRegistry registry;
  registry.OpenKey(kQelKey, true);
  return registry.ReadString("LastProject");
}

TContainer& ShellTest::Project() { return *QELMain->Container(); }

std::string ShellTest::Caption() { return FromQString(QELMain->windowTitle()); }

} // namespace qel::test
