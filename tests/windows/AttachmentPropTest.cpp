#include "WindowTest.h"
#include "platform/FileNames.h"
#include "windows/props/AttachmentProp.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace qel;

namespace {

class AttachmentProp : public test::WindowTest {
protected:
  AttachmentProp() {
    File = Folder() + "report.txt";
    WriteFileBytes(File, "x");
    Attachment = AddAttachment(0, File);
    Window.Container = &Project;
    Window.show();
  }
  TAttachItem* AddAttachment(uint8_t kind, const std::string& location) {
    TAttachment record;
    record.Note = AddNote("Owner");
    record.Caption = "Report";
    record.Kind = kind;
    record.Location = location;
    return Project.AddAttachment(record);
  }
  bool IsWhite(const QLineEdit* box) const { return box->palette().color(QPalette::Base) == QColor(Qt::white); }
  std::string File;
  TAttachItem* Attachment;
  TAttachPrp Window;
};

} // namespace

TEST_F(AttachmentProp, ShowingAFileAttachmentFillsTheWindowWithoutMarkingIt) {
  Project.SetModified(false);
  Window.ShowItem(Attachment);
  EXPECT_FALSE(Project.IsModified());
  EXPECT_EQ(Window.ED_Caption->text(), "Report");
  EXPECT_EQ(Window.InfoText->text(), "Attachment - Report");
  EXPECT_EQ(Window.ED_AttachFile->text().toStdString(), File);
  EXPECT_TRUE(Window.ED_AttachURL->text().isEmpty());
  EXPECT_TRUE(IsWhite(Window.ED_AttachFile));
  EXPECT_FALSE(IsWhite(Window.ED_AttachURL));
  EXPECT_TRUE(Window.BTN_Open->isVisible());
  EXPECT_FALSE(Window.BTN_OpenURL->isVisible());
  EXPECT_FALSE(Window.PN_AttachWarning->isVisible());
}

TEST_F(AttachmentProp, TheWarningShowsForAMissingFileButNotForAnEmptyName) {
  Attachment->SetLocation(Folder() + "gone.txt");
  Window.ShowItem(Attachment);
  EXPECT_TRUE(Window.PN_AttachWarning->isVisible());
  Window.Preview();
  EXPECT_TRUE(Window.OLE_Link.empty());
  Attachment->SetLocation("");
  Window.ShowItem(Attachment);
  EXPECT_FALSE(Window.PN_AttachWarning->isVisible());
}

TEST_F(AttachmentProp, ChoosingAFileTurnsAnAddressIntoAFile) {
  TAttachItem* address = AddAttachment(1, "www.example.com");
  Window.ShowItem(address);
  EXPECT_TRUE(Window.BTN_OpenURL->isVisible());
  Script.AnswerOpen(false);
  Window.BTN_FileClick();
  EXPECT_EQ(address->Data.Kind, 1);
  EXPECT_EQ(Script.Shown.back().File.InitialDir, "./");
  Script.AnswerOpen(true, File);
  Window.BTN_FileClick();
  EXPECT_EQ(address->Data.Kind, 0);
  EXPECT_EQ(address->Data.Location, File);
  EXPECT_TRUE(Window.ED_AttachURL->text().isEmpty());
  EXPECT_TRUE(Window.BTN_Open->isVisible());
  // Browsing again starts in the file's folder.
  Script.AnswerOpen(false);
  Window.BTN_FileClick();
  EXPECT_EQ(Script.Shown.back().File.InitialDir, Folder());
}

TEST_F(AttachmentProp, EnteringAnAddressTurnsAFileIntoAnAddressAndDropsThePreview) {
  Window.ShowItem(Attachment);
  Window.BTN_PreviewClick();
  EXPECT_EQ(Window.OLE_Link, File);
  EXPECT_EQ(Window.OLE_Name->text(), "report.txt");
  Script.AnswerInput(false);
  Window.BTN_URLClick();
  EXPECT_EQ(Attachment->Data.Kind, 0);
  Script.AnswerInput(true, "http://example.com/x");
  Window.BTN_URLClick();
  EXPECT_EQ(Script.Shown.back().Caption, "Enter URL");
  EXPECT_EQ(Script.Shown.back().Text, "URL ");
  EXPECT_EQ(Attachment->Data.Kind, 1);
  EXPECT_EQ(Attachment->Data.Location, "http://example.com/x");
  EXPECT_TRUE(Window.ED_AttachFile->text().isEmpty());
  EXPECT_TRUE(Window.OLE_Link.empty());
}

TEST_F(AttachmentProp, OpenURLAcceptsOnlyWwwAndHttpInAnyCase) {
  EXPECT_TRUE(TAttachPrp::IsValidURL("WWW.example.com"));
  EXPECT_TRUE(TAttachPrp::IsValidURL("Http://x"));
  EXPECT_FALSE(TAttachPrp::IsValidURL("https://x"));
  EXPECT_FALSE(TAttachPrp::IsValidURL("www"));
  TAttachItem* address = AddAttachment(1, "https://example.com");
  Window.ShowItem(address);
  Script.Answer(mrOk);
  Window.BTN_OpenURLClick();
  ASSERT_EQ(Script.Shown.size(), 1u);
  EXPECT_EQ(Script.Shown[0].Text, "The Specified URL is invalid...\rURLs start with www. or http://");
  EXPECT_EQ(Script.Shown[0].Type, TMsgDlgType::mtError);
  EXPECT_TRUE(Opener.Opened.empty());
  address->SetLocation("WWW.example.com");
  Window.BTN_OpenURLClick();
  EXPECT_EQ(Opener.Opened, std::vector<std::string>{"http://WWW.example.com"});
}

TEST_F(AttachmentProp, OpenShowsTheFileWithItsProgramOrTellsThereIsNone) {
  Window.ShowItem(Attachment);
  Window.BTN_OpenClick();
  EXPECT_EQ(Opener.Opened, std::vector<std::string>{File});
  Attachment->SetLocation(Folder() + "gone.txt");
  Window.ShowItem(Attachment);
  Window.Preview();
  Script.Answer(mrOk);
  Window.BTN_OpenClick();
  ASSERT_EQ(Script.Shown.size(), 1u);
  EXPECT_EQ(Script.Shown[0].Text, "No File To Open...");
}

TEST_F(AttachmentProp, AnAttachmentDeletedElsewhereClosesTheWindowWithoutStoring) {
  Window.ShowItem(Attachment);
  Window.ED_Caption->setText("typed");
  Attachment->Delete();
  EXPECT_TRUE(Window.UpdateItem(true));
  EXPECT_TRUE(Window.Closing);
  EXPECT_FALSE(Window.isVisible());
  Window.BTN_OpenURLClick(); // nothing left to act on
  Window.BTN_PreviewClick();
  EXPECT_TRUE(Window.OLE_Link.empty());
}
