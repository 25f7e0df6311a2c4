#include "tests/windows/WindowTest.h"
#include "platform/FileNames.h"
#include "windows/props/AttachmentProp.h"

#include <QApplication>
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

// Fault: an address starting with "https://" was refused.
TEST_F(AttachmentProp, OpenURLAcceptsWwwHttpAndHttpsInAnyCase) {
  EXPECT_TRUE(TAttachPrp::IsValidURL("WWW.example.com"));
  EXPECT_TRUE(TAttachPrp::IsValidURL("Http://x"));
  EXPECT_TRUE(TAttachPrp::IsValidURL("hTTps://x"));
  EXPECT_FALSE(TAttachPrp::IsValidURL("ftp://x"));
  EXPECT_FALSE(TAttachPrp::IsValidURL("www"));
  TAttachItem* address = AddAttachment(1, "file:///etc/passwd");
  Window.ShowItem(address);
  Script.Answer(mrOk);
  Window.BTN_OpenURLClick();
  ASSERT_EQ(Script.Shown.size(), 1u);
  EXPECT_EQ(Script.Shown[0].Text, "The Specified URL is invalid...\rURLs start with www. or http://");
  EXPECT_EQ(Script.Shown[0].Type, TMsgDlgType::mtError);
  EXPECT_TRUE(Opener.Opened.empty());
  address->SetLocation("https://example.com");
  Window.BTN_OpenURLClick();
  address->SetLocation("WWW.example.com");
  Window.BTN_OpenURLClick();
  EXPECT_EQ(Opener.Opened, (std::vector<std::string>{"https://example.com", "http://WWW.example.com"}));
}

// Fault: storing an attachment of an unknown kind turned it into a file with no name.
TEST_F(AttachmentProp, AnAttachmentOfAnUnknownKindIsShownReadOnlyAndKept) {
  TAttachItem* odd = AddAttachment(7, "somewhere");
  Window.ShowItem(odd);
  EXPECT_EQ(Window.ED_AttachFile->text(), "somewhere");
  EXPECT_TRUE(Window.ED_Caption->isReadOnly());
  EXPECT_FALSE(Window.BTN_File->isEnabled());
  EXPECT_FALSE(Window.BTN_URL->isEnabled());
  Window.ED_Caption->setText("typed");
  Window.UpdateItem(true);
  Window.BTN_FileClick();
  Window.BTN_URLClick();
  Window.close();
  EXPECT_EQ(odd->Data.Kind, 7);
  EXPECT_EQ(odd->Data.Location, "somewhere");
  EXPECT_EQ(odd->Data.Caption, "Report");
  EXPECT_TRUE(Script.Shown.empty());
  // A known kind afterwards is editable again.
  Window.show();
  Window.ShowItem(Attachment);
  EXPECT_FALSE(Window.ED_Caption->isReadOnly());
  EXPECT_TRUE(Window.BTN_File->isEnabled());
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
  // Nothing left to act on: no dialog, no box.
  Window.BTN_OpenURLClick();
  Window.BTN_PreviewClick();
  Window.BTN_FileClick();
  Window.BTN_URLClick();
  Window.BTN_OpenClick();
  Window.MI_EditClick();
  EXPECT_TRUE(Window.OLE_Link.empty());
  EXPECT_TRUE(Script.Shown.empty());
}

// Fault: in a free window of width 250 the missing-file warning was cut off.
TEST_F(AttachmentProp, TheWarningCanBeReadInANarrowWindow) {
  Attachment->SetLocation(Folder() + "gone.txt");
  Window.ShowItem(Attachment);
  Window.resize(250, 300);
  QApplication::processEvents();
  ASSERT_TRUE(Window.PN_AttachWarning->isVisible());
  EXPECT_LE(Window.PN_AttachWarning->geometry().right(), Window.Panel3->rect().right());
  EXPECT_GE(Window.PN_AttachWarning->x(), 40); // clear of the labels
}

// Fault: any text entered as a URL was taken silently, spaces and all.
TEST_F(AttachmentProp, AnAddressThatIsNotAWellFormedURLIsRefusedAtEntry) {
  const struct {
    std::string typed;
    bool taken;
  } cases[] = {
      {"http://example.com/x?y=1", true}, {"WWW.example.org", true},   {"https://example.org/a%20b", true},
      {"not a url", false},               {"www.exa mple.org", false}, {"http://", false},
      {"www.", false},                    {"ftp://example.org", false}, {"", false},
      {"http://exa<mple.org", false},
  };
  Window.ShowItem(Attachment);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    Attachment->SetKind(0);
    Attachment->SetLocation(File);
    Window.ShowItem(Attachment);
    Script.Shown.clear();
    Script.AnswerInput(true, c.typed);
    if (!c.taken) Script.Answer(mrOk);
    Window.BTN_URLClick();
    EXPECT_EQ(Script.Pending(), 0u);
    EXPECT_EQ(Attachment->Data.Kind, c.taken ? 1 : 0);
    EXPECT_EQ(Attachment->Data.Location, c.taken ? c.typed : File);
    if (c.taken) continue;
    ASSERT_EQ(Script.Shown.size(), 2u);
    EXPECT_EQ(Script.Shown[1].Type, TMsgDlgType::mtError);
    EXPECT_EQ(Script.Shown[1].Text, "\"" + c.typed +
                                        "\" is not a well-formed URL.\rURLs start with www., http:// or https:// and "
                                        "hold no spaces");
  }
}
