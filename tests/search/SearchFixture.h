#pragma once
// A small project to search in, and readers of what the filtered pools show.
#include "model/Container.h"
#include "search/ContainerSearch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qel {

// A note standing for the sheet, named after it.
inline TNoteItem* AddAggregationNote(TContainer& project, TSheetItem* sheet) {
  TNote note;
  note.Name = sheet->Data.Name;
  note.Kind = 0;
  note.Sheet = sheet;
  return project.AddNote(note);
}

class SearchFixture : public ::testing::Test {
protected:
  TNoteItem* AddNote(const std::string& name, const std::string& text = "", TColor color = clYellow) {
    TNote note;
    note.Name = name;
    note.Text = text;
    note.Color = color;
    return Project.AddNote(note);
  }
  TSheetItem* AddSheet(const std::string& name, TColor color = clWhite) {
    TSheet sheet;
    sheet.Name = name;
    sheet.Color = color;
    return Project.AddSheet(sheet);
  }
  TAttachItem* AddAttachment(TNoteItem* note, const std::string& caption, const std::string& location) {
    TAttachment attachment;
    attachment.Note = note;
    attachment.Caption = caption;
    attachment.Location = location;
    return Project.AddAttachment(attachment);
  }
  TLinkItem* AddLink(TSheetItem* sheet, TNoteItem* from, TNoteItem* to, int relation) {
    TLink link;
    link.Sheet = sheet;
    link.FromNote = from;
    link.ToNote = to;
    link.Relation = Project.GetRelation(relation);
    return Project.AddLink(link);
  }

  // What the rest of the program sees through Count and GetItem, in order.
  std::vector<std::string> Notes() const {
    return ReadNames(Project.NoteCount(), [this](int i) { return Project.GetNote(i)->Data.Name; });
  }
  std::vector<std::string> Sheets() const {
    return ReadNames(Project.SheetCount(), [this](int i) { return Project.GetSheet(i)->Data.Name; });
  }
  std::vector<std::string> Attachments() const {
    return ReadNames(Project.AttachmentCount(), [this](int i) { return Project.GetAttachment(i)->Data.Caption; });
  }
  template <class TName> static std::vector<std::string> ReadNames(int count, TName name) {
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i)
      names.push_back(name(i));
    return names;
  }

  TContainer Project;
  TContainerSearch Search{&Project};
};

using Names = std::vector<std::string>;

} // namespace qel
