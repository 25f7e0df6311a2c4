#include "platform/Errors.h"
#include "platform/FileNames.h"
#include "platform/IniFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qel {
namespace {

class IniFileTest : public ::testing::Test {
protected:
  void SetUp() override {
    char pattern[] = "/tmp/qel-ini-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    Folder = std::string(pattern) + "/";
    Name = Folder + "Project.qel";
  }
  void TearDown() override {
    DeleteFile(Name);
    ::rmdir(Folder.c_str());
  }
  std::string Folder, Name;
};

TEST_F(IniFileTest, ANewFileHoldsItsSectionsInWritingOrderWithCrLf) {
  TIniFile ini(Name);
  ini.WriteString("QEL", "Version", "6.0");
  ini.WriteString("DEFAULTS", "Grid", "No");
  EXPECT_EQ(ReadFileBytes(Name), "[QEL]\r\nVersion=6.0\r\n[DEFAULTS]\r\nGrid=No\r\n");
  EXPECT_EQ(ini.ReadString("QEL", "Version", "?"), "6.0");
}

TEST_F(IniFileTest, ReadingIgnoresLetterCaseOfNamesAndBlanksAroundValues) {
  WriteFileBytes(Name, "[Other]\nGrid=No\n[ defaults ]\n; Grid=No\n  grid =  Yes  \n");
  TIniFile ini(Name);
  EXPECT_EQ(ini.ReadString("DEFAULTS", "Grid", "?"), "Yes");
  EXPECT_EQ(ini.ReadString("DEFAULTS", "Missing", "dflt"), "dflt");
  EXPECT_EQ(ini.ReadString("Nowhere", "Grid", "dflt"), "dflt");
  EXPECT_EQ(TIniFile(Folder + "absent.qel").ReadString("DEFAULTS", "Grid", "dflt"), "dflt");
}

TEST_F(IniFileTest, WritingChangesOnlyItsOwnLine) {
  struct TCase {
    std::string Before, Section, Key, Value, After;
  };
  const TCase cases[] = {
      // an existing key, in another letter case, keeps every other byte
      {"; c\n[qel]\nversion = 1\r\nName=x\n\n[Z]\nk=v", "QEL", "Version", "6.0",
       "; c\n[qel]\nVersion=6.0\r\nName=x\n\n[Z]\nk=v"},
      // a new key goes behind the section's last line, before blank lines
      {"[A]\r\na=1\r\n\r\n[B]\r\nb=2\r\n", "A", "c", "3", "[A]\r\na=1\r\nc=3\r\n\r\n[B]\r\nb=2\r\n"},
      // a new section goes to the end, also when the last line has no line break
      {"[A]\r\na=1", "B", "b", "2", "[A]\r\na=1\r\n[B]\r\nb=2\r\n"},
      // an empty section header gets its first key
      {"[A]\r\n", "A", "a", "1", "[A]\r\na=1\r\n"},
  };
  for (const TCase& c : cases) {
    WriteFileBytes(Name, c.Before);
    TIniFile(Name).WriteString(c.Section, c.Key, c.Value);
    EXPECT_EQ(ReadFileBytes(Name), c.After) << c.Before;
  }
}

TEST_F(IniFileTest, TheFileIsFoundWithoutRegardToLetterCase) {
  WriteFileBytes(Folder + "PROJECT.QEL", "[DEFAULTS]\r\nGrid=No\r\n");
  TIniFile ini(Folder + "project.qel");
  EXPECT_EQ(ini.ReadString("DEFAULTS", "Grid", "Yes"), "No");
  ini.WriteString("DEFAULTS", "Grid", "Yes");
  EXPECT_EQ(ReadFileBytes(Folder + "PROJECT.QEL"), "[DEFAULTS]\r\nGrid=Yes\r\n");
  DeleteFile(Folder + "PROJECT.QEL");
}

TEST_F(IniFileTest, AFileThatCannotBeWrittenRaisesTheInputOutputError) {
  TIniFile ini(Folder + "no/such/folder/x.qel");
  EXPECT_THROW(ini.WriteString("QEL", "Version", "6.0"), EInOutError);
}

// Fault: the file was rewritten in place, so a failed write lost its other sections.
TEST_F(IniFileTest, AFailedWriteLeavesTheFileAsItWas) {
  const std::string before = "[Other]\r\nKept=1\r\n[QEL]\r\nVersion=5.0\r\n";
  WriteFileBytes(Name, before);
  const std::string temp = Name + ".saving";
  ASSERT_EQ(::mkdir(temp.c_str(), 0777), 0); // the new content cannot be written beside it
  EXPECT_THROW(TIniFile(Name).WriteString("QEL", "Version", "6.0"), EInOutError);
  EXPECT_EQ(ReadFileBytes(Name), before);
  ::rmdir(temp.c_str());
  TIniFile(Name).WriteString("QEL", "Version", "6.0");
  EXPECT_EQ(ReadFileBytes(Name), "[Other]\r\nKept=1\r\n[QEL]\r\nVersion=6.0\r\n");
  EXPECT_FALSE(FileExists(temp));
}

} // namespace
} // namespace qel

namespace qel {
namespace {

// Fault: a project file set read-only was replaced by a save, and its permissions and a
// symbolic link to it were lost. Now a read-only one stops the write with its name, and a
// written one keeps its mode and stays a link.
TEST_F(IniFileTest, AProtectedFileStaysAsItIsAndAWrittenOneKeepsItsModeAndLink) {
  const std::string before = "[DEFAULTS]\r\nGrid=No\r\n";
  WriteFileBytes(Name, before);
  ASSERT_EQ(::chmod(Name.c_str(), 0444), 0);
  try {
    TIniFile(Name).WriteString("DEFAULTS", "Grid", "Yes");
    ADD_FAILURE() << "wrote a read-only file";
  } catch (const EInOutError& e) {
    EXPECT_EQ(std::string(e.what()), "The file is read-only: " + Name);
  }
  EXPECT_EQ(ReadFileBytes(Name), before);

  ASSERT_EQ(::chmod(Name.c_str(), 0604), 0);
  const std::string link = Folder + "Link.qel";
  ASSERT_EQ(::symlink("Project.qel", link.c_str()), 0);
  TIniFile(link).WriteString("DEFAULTS", "Grid", "Yes");
  struct stat st {};
  ASSERT_EQ(::lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(ReadFileBytes(Name), "[DEFAULTS]\r\nGrid=Yes\r\n");
  ASSERT_EQ(::stat(Name.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0604u);
  DeleteFile(link);
}

} // namespace
} // namespace qel
