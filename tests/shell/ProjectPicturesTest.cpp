// A note's picture and logo live with their project: saves copy them into the project's own
// folder, and the notes refer to the copies.
#include "ShellFixture.h"

#include "platform/FileNames.h"
#include "platform/qt/QtConvert.h"
#include "shell/AutoSave.h"
#include "shell/Main.h"
#include "windows/props/NoteProp.h"

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <filesystem>
#include <functional>

namespace qel::test {
namespace {

class ProjectPicturesTest : public ShellTest {
protected:
  static std::string Bitmap(const std::string& name, Qt::GlobalColor color) {
    std::filesystem::create_directories(ToNativePath(ExtractFilePath(name)));
    QImage image(8, 6, QImage::Format_RGB32);
    image.fill(color);
    image.save(ToQString(name), "BMP");
    return name;
  }
  TNotePrp* NoteWindow(TNoteItem* note) {
    auto* window = new TNotePrp(QELMain);
    window->Container = &Project();
    window->ShowNote(note, Project().RelationPool.get(), Project().LinkPool.get());
    return window;
  }
  // The picture files of a folder.
  static std::vector<std::string> Pictures(const std::string& folder) {
    std::vector<std::string> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(ToNativePath(folder), error))
      if (entry.path().extension() == ".bmp") found.push_back(entry.path().filename().string());
    std::sort(found.begin(), found.end());
    return found;
  }
};

// Fault: Load Image copied the picture into the folder of the project loaded last, which an
// unnamed project does not own; Save As then copied the pictures into that old folder again.
TEST_F(ProjectPicturesTest, APictureOfAProjectWithoutANameIsCopiedByItsFirstSave) {
  OpenProject({1, 1, 0, 0}, "theirs/Theirs.qel");
  Script.Answer(mrYes);
  QELMain->TB_NewClick();
  TNote record;
  record.Name = "Pictured";
  TNoteItem* note = Project().AddNote(record);
  TNotePrp* window = NoteWindow(note);
  const std::string sun = Bitmap(Root + "pictures/sun.bmp", Qt::yellow);
  const std::string logo = Bitmap(Root + "logos/sun.bmp", Qt::blue); // the same name, another picture
  Script.AnswerOpen(true, sun).AnswerOpen(true, logo);
  window->BTN_LoadImageClick();
  window->BTN_LoadLogoClick();
  EXPECT_EQ(note->Data.ImageFile, sun);
  EXPECT_EQ(note->Data.LogoFile, logo);
  EXPECT_FALSE(window->IM_Picture->isHidden());
  EXPECT_EQ(Pictures(Root + "theirs/"), std::vector<std::string>{});

  Script.AnswerSave(true, Root + "mine/Mine.qel");
  QELMain->TB_SaveClick();
  const std::string mine = Root + "mine/";
  EXPECT_EQ(note->Data.ImageFile, mine + "sun.bmp");
  EXPECT_EQ(note->Data.LogoFile, mine + "sun_2.bmp");
  EXPECT_EQ(ReadBytes(mine + "sun.bmp"), ReadBytes(sun));
  EXPECT_EQ(ReadBytes(mine + "sun_2.bmp"), ReadBytes(logo));
  EXPECT_EQ(Pictures(Root + "theirs/"), std::vector<std::string>{});
  EXPECT_FALSE(Project().IsModified());
  TContainer saved;
  saved.Load(mine + "Mine.qel");
  EXPECT_EQ(saved.GetNote(0)->Data.ImageFile, mine + "sun.bmp");
  EXPECT_EQ(saved.GetNote(0)->Data.LogoFile, mine + "sun_2.bmp");

  // Named now: a chosen picture is copied into the project's folder at once.
  const std::string moon = Bitmap(Root + "pictures/moon.bmp", Qt::white);
  Script.AnswerOpen(true, moon);
  window->BTN_LoadImageClick();
  EXPECT_EQ(note->Data.ImageFile, mine + "moon.bmp");
  delete window;
}

// Fault: pictures stayed wherever they had been chosen, so moving or deleting that folder lost
// them. Every save but a backup copies them into the saved project's folder: two pictures of
// one name get two names, a picture used twice is copied once, and a file there that holds the
// same picture is used as it is.
TEST_F(ProjectPicturesTest, EverySaveTakesThePicturesIntoTheSavedProjectsFolder) {
  struct TCase {
    const char* How;
    bool Named;                          // a stored project, its pictures elsewhere
    std::function<std::string()> Folder; // where the save writes
    std::function<void()> Save;
    bool Takes; // false: the pictures stay where they are
  };
  const TCase cases[] = {
      {"Save As", true, [this] { return Root + "as/"; },
       [this] {
         Script.AnswerSave(true, Root + "as/Copy.qel");
         QELMain->MI_FileSaveAsClick();
       },
       true},
      {"Save of a project without a name", false, [this] { return Root + "named/"; },
       [this] {
         Script.AnswerSave(true, Root + "named/Named.qel");
         QELMain->TB_SaveClick();
       },
       true},
      {"autosave of a stored project", true, [this] { return Root + "p/"; }, [] { QELMain->trAutoSaveTimer(); }, true},
      {"autosave without a name", false, [] { return WorkFilesFolder(); }, [] { QELMain->trAutoSaveTimer(); }, true},
      {"backup", true, [this] { return Root + "bk/"; },
       [this] {
         frmAutoSave->edLocateBackupWorkFiles->setText(ToQString(Root + "bk/Back.qel"));
         QELMain->trAutoSaveBackupTimer();
       },
       false},
  };
  const std::string sun = Bitmap(Root + "a/sun.bmp", Qt::yellow);
  const std::string blue = Bitmap(Root + "b/sun.bmp", Qt::blue);
  const std::string moon = Bitmap(Root + "c/moon.bmp", Qt::white);
  const std::string gone = Root + "gone.bmp";
  const std::vector<std::pair<std::string, std::string>> pictures = {{sun, blue}, {sun, ""}, {moon, ""}, {gone, ""}};
  int run = 0;
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.How);
    Program.reset();
    std::unique_ptr<TContainer> project = BuildProject({0, 1, 0, 0});
    TContainer* notes = project.get();
    if (!c.Named) {
      SetLastProject("");
      StartUp();
      notes = &Project();
    }
    for (const auto& [image, logo] : pictures) {
      TNote record;
      record.Name = "Note " + std::to_string(notes->NoteCount());
      record.ImageFile = image;
      record.LogoFile = logo;
      notes->AddNote(record);
    }
    if (c.Named) {
      const std::string name = Root + "p/Proj.qel";
      std::error_code ignored;
      std::filesystem::remove_all(ToNativePath(Root + "p/"), ignored);
      WriteProject(*project, name);
      SetLastProject(name);
      StartUp();
      // It loads and shows its pictures where they are.
      ASSERT_EQ(Project().GetNote(0)->Data.ImageFile, sun);
      TNotePrp* window = NoteWindow(Project().GetNote(0));
      EXPECT_FALSE(window->IM_Picture->isHidden());
      EXPECT_FALSE(window->IM_Logo->isHidden());
      delete window;
      Project().GetNote(3)->SetName("Changed " + std::to_string(run++));
    }
    // The folder holds the moon already, written long ago.
    const std::string folder = c.Folder();
    Bitmap(folder + "moon.bmp", Qt::white);
    const auto written = std::filesystem::file_time_type::clock::now() - std::chrono::hours(24);
    std::filesystem::last_write_time(ToNativePath(folder + "moon.bmp"), written);
    Project().NotePool->Filtered = true; // a search that shows none of the notes
    c.Save();
    Project().NotePool->Filtered = false;
    const std::vector<std::pair<std::string, std::string>> expected =
        c.Takes ? std::vector<std::pair<std::string, std::string>>{{folder + "sun.bmp", folder + "sun_2.bmp"},
                                                                    {folder + "sun.bmp", ""},
                                                                    {folder + "moon.bmp", ""},
                                                                    {gone, ""}}
                : pictures;
    const std::string saved = c.Takes ? (c.Named || c.Folder() != WorkFilesFolder() ? Project().FileName
                                                                                     : QELMain->UnnamedWorkName())
                                      : Root + "bk/Back.qel";
    TContainer back;
    back.Load(saved);
    ASSERT_EQ(back.NoteCount(), 4);
    for (int i = 0; i < 4; ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(Project().GetNote(i)->Data.ImageFile, expected[i].first);
      EXPECT_EQ(Project().GetNote(i)->Data.LogoFile, expected[i].second);
      EXPECT_EQ(back.GetNote(i)->Data.ImageFile, expected[i].first);
      EXPECT_EQ(back.GetNote(i)->Data.LogoFile, expected[i].second);
    }
    EXPECT_EQ(Pictures(folder), c.Takes ? (std::vector<std::string>{"moon.bmp", "sun.bmp", "sun_2.bmp"})
                                        : std::vector<std::string>{"moon.bmp"});
    if (c.Takes) {
      EXPECT_EQ(ReadBytes(folder + "sun.bmp"), ReadBytes(sun));
      EXPECT_EQ(ReadBytes(folder + "sun_2.bmp"), ReadBytes(blue));
    }
    EXPECT_EQ(std::filesystem::last_write_time(ToNativePath(folder + "moon.bmp")), written);
    EXPECT_TRUE(Script.Shown.size() <= 1u); // the Save As dialog at most
    Script.Shown.clear();
  }
}

// Fault: a picture that could not be copied was left behind without a word.
TEST_F(ProjectPicturesTest, APictureThatCannotBeCopiedIsNamedAfterTheUsersSave) {
  const std::string name = OpenProject({1, 1, 0, 0}, "p/Proj.qel");
  const std::string sun = Bitmap(Root + "a/sun.bmp", Qt::yellow);
  Project().GetNote(0)->SetImage(sun);
  FileOperationFault = [](std::string_view op, const std::string& file) {
    return op == "write" && file.size() > 6 && file.substr(file.size() - 6) == ".copy~";
  };
  QELMain->trAutoSaveTimer(); // a timer's save says nothing
  EXPECT_TRUE(Script.Shown.empty());
  Project().GetNote(0)->SetName("Changed");
  Script.Answer(mrOk);
  QELMain->TB_SaveClick();
  FileOperationFault = nullptr;
  ASSERT_EQ(Script.Shown.size(), 1u);
  EXPECT_NE(Script.Shown[0].Text.find("could not be copied"), std::string::npos) << Script.Shown[0].Text;
  EXPECT_NE(Script.Shown[0].Text.find(sun + ": "), std::string::npos) << Script.Shown[0].Text;
  EXPECT_EQ(Project().GetNote(0)->Data.ImageFile, sun);
  EXPECT_FALSE(Project().IsModified()); // the project itself was saved
  EXPECT_EQ(Pictures(Root + "p/"), std::vector<std::string>{});
  // The next save copies it.
  Project().GetNote(0)->SetName("Again");
  QELMain->TB_SaveClick();
  EXPECT_EQ(Project().GetNote(0)->Data.ImageFile, Root + "p/sun.bmp");
  TContainer saved;
  saved.Load(name);
  EXPECT_EQ(saved.GetNote(0)->Data.ImageFile, Root + "p/sun.bmp");
}

// Fault: a cancelled Save As copied the pictures into the project's folder all the same.
TEST_F(ProjectPicturesTest, ACancelledSaveAsCopiesNothing) {
  OpenProject({2, 1, 0, 1});
  const std::string face = Bitmap(Root + "pictures/face.bmp", Qt::red);
  Project().GetNote(1)->SetImage(face);
  Script.AnswerSave(false);
  EXPECT_FALSE(QELMain->SaveAsDialog());
  EXPECT_EQ(Pictures(Root + "p/"), std::vector<std::string>{});
  EXPECT_EQ(Project().GetNote(1)->Data.ImageFile, face);
}

} // namespace
} // namespace qel::test
