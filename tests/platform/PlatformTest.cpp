#include "platform/Ansi.h"
#include "platform/Convert.h"
#include "platform/Errors.h"
#include "platform/FileNames.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace qel;

TEST(Ansi, LowerCaseFollowsWindows1252) {
  EXPECT_EQ(AnsiLowerCase("ABC xyz 09"), "abc xyz 09");
  EXPECT_EQ(AnsiLowerCase("\xC4\xD6\xDC"), "\xE4\xF6\xFC"); // Ä Ö Ü
  EXPECT_EQ(AnsiLowerCase("\x8A\x8C\x8E\x9F"), "\x9A\x9C\x9E\xFF"); // Š Œ Ž Ÿ
  EXPECT_EQ(AnsiLowerChar(0xD7), 0xD7); // the multiplication sign has no lower case
  EXPECT_EQ(AnsiLowerChar(0xDF), 0xDF); // ß stays
}

TEST(Ansi, Utf16RoundTripKeepsEveryByte) {
  std::string all;
  for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
  std::u16string u = AnsiToUtf16(all);
  EXPECT_EQ(u[0x80], u'\u20AC');
  EXPECT_EQ(u[0x9F], u'\u0178');
  EXPECT_EQ(u[0x81], u'\u0081'); // undefined in the code page: kept as a control
  EXPECT_EQ(Utf16ToAnsi(u), all);
  EXPECT_EQ(Utf16ToAnsi(u"\u0416x"), "?x");
  EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(all)), all);
  EXPECT_EQ(Utf8ToAnsi("\xE2\x82\xAC"), "\x80");
  EXPECT_EQ(Utf8ToAnsi("\xE2\x82"), "?"); // truncated sequence
}

TEST(Convert, StrToIntAcceptsDecimalOnly) {
  EXPECT_EQ(StrToInt("0"), 0);
  EXPECT_EQ(StrToInt("-2147483648"), INT32_MIN);
  EXPECT_EQ(StrToInt("2147483647"), INT32_MAX);
  EXPECT_EQ(StrToInt(" 12"), 12);
  for (const char* bad : {"", "-", "12 ", "1x", "2147483648", "abc", "\xFF"}) {
    try {
      StrToInt(bad);
      ADD_FAILURE() << bad;
    } catch (const EConvertError& e) {
      EXPECT_EQ(std::string(e.what()), "'" + std::string(bad) + "' is not a valid integer value");
    }
  }
  EXPECT_EQ(IntToStr(-42), "-42");
}

TEST(Errors, TextsOfTheRunTimeErrors) {
  try {
    RaiseListError(7);
  } catch (const EListError& e) {
    EXPECT_STREQ(e.what(), "List index out of bounds (7)");
  }
  EXPECT_EQ(InOutErrorText(ENOENT), "File not found");
  EXPECT_EQ(InOutErrorText(EACCES), "File access denied");
  EXPECT_EQ(InOutErrorText(ENOSPC), "Disk full");
  EXPECT_EQ(InOutErrorText(EISDIR), "A folder stands where the file belongs");
}

// Fault: a message quoted a whole field, a megabyte freezing the message box, and a NUL in
// it ended the message.
TEST(Errors, MessagesQuoteAFewDozenCharactersAndShowControlBytes) {
  struct Case {
    std::string Text, Quoted;
  };
  for (const Case& k : {Case{"short", "short"}, Case{std::string(40, 'x'), std::string(40, 'x')},
                        Case{std::string(1 << 20, 'y'), std::string(40, 'y') + "..."},
                        Case{std::string("a\0b\r\n\x1A\x7F\xE4", 8), "a\\x00b\\x0D\\x0A\\x1A\\x7F\xE4"}}) {
    EXPECT_EQ(QuoteForMessage(k.Text), k.Quoted);
    try {
      StrToInt(k.Text);
      ADD_FAILURE();
    } catch (const EConvertError& e) {
      EXPECT_EQ(std::string(e.what()), "'" + k.Quoted + "' is not a valid integer value");
    }
  }
}

TEST(FileNames, SplittingAcceptsBothSeparators) {
  EXPECT_EQ(ExtractFilePath("C:\\Work\\plan.old.qel"), "C:\\Work\\");
  EXPECT_EQ(ExtractFilePath("/home/a/plan.qel"), "/home/a/");
  EXPECT_EQ(ExtractFilePath("plan.qel"), "");
  EXPECT_EQ(ExtractFileName("C:\\Work/dir\\plan.qel"), "plan.qel");
  EXPECT_EQ(ExtractFileExt("/a.b/plan"), "");
  EXPECT_EQ(ExtractFileExt("/a/plan.old.qel"), ".qel");
  EXPECT_EQ(ChangeFileExt("/a.b/plan", ".qel"), "/a.b/plan.qel");
  EXPECT_EQ(ChangeFileExt("/a/plan.txt", ".qel"), "/a/plan.qel");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/a"), "/a/");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/a/"), "/a/");
}

class FileNamesOnDisk : public ::testing::Test {
protected:
  void SetUp() override {
    Dir = std::filesystem::temp_directory_path() / ("qel-fn-" + std::to_string(::getpid()));
    std::filesystem::create_directories(Dir);
    Root = Dir.string() + "/";
  }
  void TearDown() override { std::filesystem::remove_all(Dir); }
  std::filesystem::path Dir;
  std::string Root;
};

TEST_F(FileNamesOnDisk, FindsFilesWithoutRegardToCase) {
  WriteFileBytes(Root + "plan_sht.dat", "x");
  EXPECT_EQ(FindFileNoCase(Root + "plan_Sht.dat"), Root + "plan_sht.dat");
  WriteFileBytes(Root + "plan_Sht.dat", "y");
  EXPECT_EQ(FindFileNoCase(Root + "plan_Sht.dat"), Root + "plan_Sht.dat"); // exact name first
  EXPECT_EQ(FindFileNoCase(Root + "none.dat"), Root + "none.dat");
}

TEST_F(FileNamesOnDisk, AnsiNamesAreUtf8OnDisk) {
  WriteFileBytes(Root + "K\xE4se.dat", "abc");
  EXPECT_TRUE(std::filesystem::exists(Dir / u8"K\u00e4se.dat"));
  EXPECT_EQ(ReadFileBytes(FindFileNoCase(Root + "K\xC4SE.DAT")), "abc"); // Ä matches ä
}

TEST_F(FileNamesOnDisk, ReadAndWriteReportTheSystemError) {
  try {
    ReadFileBytes(Root + "missing.dat");
    FAIL();
  } catch (const EInOutError& e) {
    EXPECT_STREQ(e.what(), "File not found");
  }
  EXPECT_THROW(WriteFileBytes(Root + "no/such/folder.dat", "x"), EInOutError);
  EXPECT_THROW(ReadFileBytes(Root), EInOutError); // a folder is no file
}

// Fault: a big file was mapped, and another program cutting it while it was read killed the
// program at the first byte past the new end. The bytes read stay whole.
TEST_F(FileNamesOnDisk, BytesReadStayWholeWhenTheFileIsCutAfterwards) {
  const std::string name = Root + "big.dat";
  const std::string bytes(2 << 20, 'b');
  WriteFileBytes(name, bytes);
  TFileBytes read(name);
  std::filesystem::resize_file(name, 10);
  EXPECT_EQ(read.View(), bytes);
}
