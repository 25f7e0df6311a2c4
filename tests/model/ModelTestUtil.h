#pragma once
// Fakes of the main window's services and small builders for model tests.
#include "model/Container.h"
#include "platform/FileNames.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace qel::test {

struct FakeHost : IContainerHost {
  void RefreshNavigators(TPoolItem* item) override { Refreshed.push_back(item); }
  void ShowErrorBox(const std::string& text) override { Errors.push_back(text); }
  void ShowMessage(const std::string& text) override { Messages.push_back(text); }
  std::vector<TPoolItem*> Refreshed;
  std::vector<std::string> Errors;
  std::vector<std::string> Messages;
};

// A navigator node that records what was done to it.
struct FakeNode : INavTreeNode {
  void SetText(const std::string& text) override { Text = text; }
  void SetImageIndex(int image, int selected) override {
    Image = image;
    Selected = selected;
  }
  void DeleteNode() override { Deleted = true; }
  std::string Text;
  int Image = -1;
  int Selected = -1;
  bool Deleted = false;
};

struct FakeProgress : IProgressBar {
  void SetRange(int minimum, int maximum) override {
    Min = minimum;
    Max = maximum;
  }
  void SetPosition(int position) override { Positions.push_back(position); }
  int Min = -1;
  int Max = -1;
  std::vector<int> Positions;
};

// A fresh folder per test, removed afterwards; the current folder is restored too.
class TempFolder : public ::testing::Test {
protected:
  void SetUp() override {
    SavedCwd = std::filesystem::current_path();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    Dir = std::filesystem::temp_directory_path() /
          (std::string("qel-") + info->test_suite_name() + "-" + info->name() + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(Dir);
    std::filesystem::create_directories(Dir);
    Root = Dir.string() + "/";
  }
  void TearDown() override {
    std::filesystem::current_path(SavedCwd);
    std::filesystem::remove_all(Dir);
  }
  std::string File(const std::string& name) const { return ReadFileBytes(Root + name); }
  void Write(const std::string& name, const std::string& bytes) const { WriteFileBytes(Root + name, bytes); }

  std::filesystem::path SavedCwd;
  std::filesystem::path Dir;
  std::string Root;
};

// What stands under a folder, links not followed: each path (relative) with the file's bytes,
// "folder" or the link's target.
inline std::map<std::string, std::string> FolderState(const std::filesystem::path& dir) {
  namespace fs = std::filesystem;
  std::map<std::string, std::string> state;
  for (auto it = fs::recursive_directory_iterator(dir); it != fs::recursive_directory_iterator(); ++it) {
    const std::string name = fs::relative(it->path(), dir).string();
    if (it->is_symlink())
      state[name] = "link to " + fs::read_symlink(it->path()).string();
    else if (it->is_directory())
      state[name] = "folder";
    else
      state[name] = ReadFileBytes(it->path().string());
  }
  return state;
}

// Fields joined by 0xFF.
inline std::string Rec(std::initializer_list<std::string> fields) {
  std::string out;
  for (const std::string& f : fields) {
    if (&f != fields.begin()) out += '\xFF';
    out += f;
  }
  return out;
}
inline std::string Line(std::initializer_list<std::string> fields) { return Rec(fields) + "\r\n"; }

inline TSheetItem* NewSheet(TContainer& c, const std::string& name = "S") {
  TSheet r;
  r.Name = name;
  return c.AddSheet(r);
}
inline TNoteItem* NewNote(TContainer& c, const std::string& name = "N") {
  TNote r;
  r.Name = name;
  return c.AddNote(r);
}
inline TNoteItem* NewAggregationNote(TContainer& c, TSheetItem* standsFor) {
  TNote r;
  r.Kind = 0;
  r.Sheet = standsFor;
  return c.AddNote(r);
}
inline TRelationItem* NewRelation(TContainer& c, const std::string& name = "R") {
  TRelation r;
  r.Name = name;
  return c.AddRelation(r);
}
inline TPosItem* NewPos(TContainer& c, TNoteItem* n, TSheetItem* s, int x = -1, int y = -1) {
  TPos r;
  r.Note = n;
  r.Sheet = s;
  r.X = x;
  r.Y = y;
  return c.AddPosition(r);
}
inline TLinkItem* NewLinkItem(TContainer& c, TNoteItem* from, TNoteItem* to, TRelationItem* rel, TSheetItem* s) {
  TLink r;
  r.FromNote = from;
  r.ToNote = to;
  r.Relation = rel;
  r.Sheet = s;
  return c.AddLink(r);
}
inline TAttachItem* NewAttachment(TContainer& c, TNoteItem* n, const std::string& caption = "A") {
  TAttachment r;
  r.Note = n;
  r.Caption = caption;
  return c.AddAttachment(r);
}

} // namespace qel::test
