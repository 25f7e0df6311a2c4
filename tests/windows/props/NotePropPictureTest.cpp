#include "tests/windows/WindowTest.h"
#include "platform/FileNames.h"
#include "windows/props/NoteProp.h"

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>

using namespace qel;

namespace {

class NotePicture : public test::WindowTest {
protected:
  NotePicture() {
    QDir(Temp.path()).mkdir("outside");
    Outside = Temp.path().toStdString() + "/outside/";
    Project.Directory = Temp.path().toStdString() + "/project/";
    QDir(Temp.path()).mkdir("project");
    Note = AddNote("Pictured");
    Window.Container = &Project;
    Window.show();
    Window.ShowNote(Note, Project.RelationPool.get(), Project.LinkPool.get());
  }
  static std::string Bitmap(const std::string& name, Qt::GlobalColor color) {
    QImage image(8, 6, QImage::Format_RGB32);
    image.fill(color);
    image.save(QString::fromStdString(name), "BMP");
    return name;
  }
  std::string Outside;
  TNoteItem* Note;
  TNotePrp Window;
};

} // namespace

TEST_F(NotePicture, APictureFromOutsideIsCopiedIntoTheProjectFolder) {
  EXPECT_FALSE(Window.btn_clearimage->isEnabled());
  const std::string source = Bitmap(Outside + "sun.bmp", Qt::yellow);
  Script.AnswerOpen(true, source);
  Window.BTN_LoadImageClick();
  EXPECT_EQ(Script.Shown[0].File.InitialDir, Project.Directory);
  EXPECT_EQ(Script.Shown[0].File.Filter, "Bitmaps (*.bmp)|*.bmp");
  EXPECT_EQ(Note->Data.ImageFile, Project.Directory + "sun.bmp");
  EXPECT_EQ(ReadFileBytes(Note->Data.ImageFile), ReadFileBytes(source));
  EXPECT_FALSE(Window.IM_Picture->isHidden());
  EXPECT_EQ(Window.IM_Picture->pixmap().toImage().pixelColor(2, 2), QColor(Qt::yellow));
  EXPECT_TRUE(Window.btn_clearimage->isEnabled());
  EXPECT_TRUE(Window.btn_SwitchPictureMode->isEnabled());
  Window.btn_SwitchPictureModeClick();
  EXPECT_EQ(Window.btn_SwitchPictureMode->text(), "&Original Image");
  EXPECT_EQ(Window.IM_Picture->size(), Window.SB_Picture->viewport()->size());
}

// Fault: a picture chosen in the project folder itself was copied onto itself.
TEST_F(NotePicture, APictureInTheProjectFolderIsUsedWhereItIs) {
  const std::string inside = Bitmap(Project.Directory + "own.bmp", Qt::red);
  const std::string before = ReadFileBytes(inside);
  Script.AnswerOpen(true, inside);
  Window.BTN_LoadImageClick();
  EXPECT_EQ(Note->Data.ImageFile, inside);
  EXPECT_EQ(ReadFileBytes(inside), before);
}

// Fault: a failed copy was ignored and the note pointed at a file that was never written.
TEST_F(NotePicture, AFailedCopyIsReportedAndChangesNothing) {
  Project.Directory = Temp.path().toStdString() + "/no such folder/";
  Script.AnswerOpen(true, Bitmap(Outside + "sun.bmp", Qt::yellow)).Answer(mrOk);
  Window.BTN_LoadImageClick();
  ASSERT_EQ(Script.Shown.size(), 2u);
  EXPECT_EQ(Script.Shown[1].Type, TMsgDlgType::mtError);
  EXPECT_TRUE(Note->Data.ImageFile.empty());
}

TEST_F(NotePicture, AFileThatIsNoPictureIsReportedAndCanBeCleared) {
  WriteFileBytes(Outside + "fake.bmp", "not a bitmap");
  Script.AnswerOpen(true, Outside + "fake.bmp").Answer(mrOk);
  Window.BTN_LoadImageClick();
  EXPECT_EQ(Script.Shown.back().Text, "Cannot show the picture " + Project.Directory + "fake.bmp");
  EXPECT_TRUE(Window.IM_Picture->isHidden());
  EXPECT_TRUE(Window.btn_clearimage->isEnabled());
  Script.Answer(mrNo);
  Window.btn_clearimageClick();
  EXPECT_FALSE(Note->Data.ImageFile.empty());
  Script.Answer(mrYes);
  Window.btn_clearimageClick();
  EXPECT_EQ(Script.Shown.back().Caption, "Clear Image");
  EXPECT_EQ(Script.Shown.back().Text, "Are you sure ?");
  EXPECT_TRUE(Note->Data.ImageFile.empty());
  EXPECT_FALSE(Window.btn_clearimage->isEnabled());
}

TEST_F(NotePicture, ALogoStartsBottomRightAndTakesTheLastTargetDraggedOver) {
  Note->SetLogoPos(3);
  Script.AnswerOpen(true, Bitmap(Outside + "logo.bmp", Qt::blue));
  Window.BTN_LoadLogoClick();
  EXPECT_EQ(Note->Data.LogoFile, Project.Directory + "logo.bmp");
  EXPECT_EQ(Note->Data.LogoPos, 8);
  EXPECT_EQ(Window.IM_Logo->pos(), QPoint(280, 120));
  Window.posDragOver(0); // no drag under way
  EXPECT_EQ(Note->Data.LogoPos, 8);
  Window.IM_LogoStartDrag();
  EXPECT_TRUE(Window.LogoDragging);
  Window.posDragOver(2);
  Window.posDragOver(4);
  Window.IM_LogoEndDrag();
  EXPECT_FALSE(Window.LogoDragging);
  EXPECT_EQ(Note->Data.LogoPos, 4);
  EXPECT_EQ(Window.IM_Logo->pos(), QPoint(140, 60));
}

// Fault: a loaded note's logo stood where the previous note's logo had been.
TEST_F(NotePicture, TheLogoShowsAtTheNotesOwnPlace) {
  Note->SetLogo(Bitmap(Project.Directory + "logo.bmp", Qt::blue));
  Note->SetLogoPos(6);
  Window.UpdateItem(false);
  EXPECT_FALSE(Window.IM_Logo->isHidden());
  EXPECT_EQ(Window.IM_Logo->pos(), QPoint(0, 120));
  Script.Answer(mrYes);
  Window.btn_clearlogoClick();
  EXPECT_EQ(Script.Shown.back().Caption, "Clear Logo");
  EXPECT_TRUE(Note->Data.LogoFile.empty());
  EXPECT_TRUE(Window.IM_Logo->isHidden());
}

// Fault: a picture of another content but the same name overwrote another note's picture.
TEST_F(NotePicture, APictureWhoseNameIsTakenIsCopiedUnderANewName) {
  TNoteItem* other = AddNote("Other");
  other->SetImage(Bitmap(Project.Directory + "Sun.bmp", Qt::red));
  const std::string theirs = ReadFileBytes(other->Data.ImageFile);
  const std::string yellow = Bitmap(Outside + "sun.bmp", Qt::yellow);
  Script.AnswerOpen(true, yellow);
  Window.BTN_LoadImageClick();
  EXPECT_EQ(Note->Data.ImageFile, Project.Directory + "sun_2.bmp");
  EXPECT_EQ(ReadFileBytes(Note->Data.ImageFile), ReadFileBytes(yellow));
  EXPECT_EQ(ReadFileBytes(other->Data.ImageFile), theirs);
  // The same picture again takes the copy made before; another one a further name.
  Script.AnswerOpen(true, yellow);
  Window.BTN_LoadLogoClick();
  EXPECT_EQ(Note->Data.LogoFile, Project.Directory + "sun_2.bmp");
  const std::string blue = Bitmap(Temp.path().toStdString() + "/sun.bmp", Qt::blue);
  Script.AnswerOpen(true, blue);
  Window.BTN_LoadImageClick();
  EXPECT_EQ(Note->Data.ImageFile, Project.Directory + "sun_3.bmp");
  EXPECT_EQ(QDir(QString::fromStdString(Project.Directory)).count(), 2u + 3u); // ".", ".." and three pictures
}

// Fault: a note whose picture (or logo) file was missing showed a plain colour without a word,
// and Clear Image was disabled, so the broken name could be neither seen nor removed.
TEST_F(NotePicture, AMissingFileIsNamedOnThePageAndCanBeCleared) {
  const std::string missing = Project.Directory + "gone.bmp";
  for (const bool logo : {false, true}) {
    SCOPED_TRACE(logo ? "logo" : "picture");
    QPushButton* clear = logo ? Window.btn_clearlogo : Window.btn_clearimage;
    const std::string& stored = logo ? Note->Data.LogoFile : Note->Data.ImageFile;
    EXPECT_TRUE(Window.LB_PictureWarning->isHidden());
    if (logo)
      Note->SetLogo(missing);
    else
      Note->SetImage(missing);
    Window.ShowNote(Note, Project.RelationPool.get(), Project.LinkPool.get());
    EXPECT_FALSE(Window.LB_PictureWarning->isHidden());
    EXPECT_EQ(Window.LB_PictureWarning->text().toStdString(),
              std::string(logo ? "The logo" : "The picture") + " file does not exist: " + missing);
    ASSERT_TRUE(clear->isEnabled());
    Script.Answer(mrYes);
    if (logo)
      Window.btn_clearlogoClick();
    else
      Window.btn_clearimageClick();
    EXPECT_TRUE(stored.empty());
    EXPECT_TRUE(Window.LB_PictureWarning->isHidden());
    EXPECT_FALSE(clear->isEnabled());
  }
}
