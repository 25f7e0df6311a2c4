#pragma once
// Generated projects for the benchmarks: notes spread over sheets, with attachments, links and
// texts as the benchmark asks.
#include "model/Container.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <string>

namespace qel::bench {

struct TProjectShape {
  int Notes = 1000;
  int Sheets = 0;             // 0: one sheet per hundred notes
  bool Place = true;          // placed on its sheet, or only assigned to it
  bool SecondSheet = false;   // every tenth note also assigned to the next sheet
  int AttachmentEvery = 10;   // one attachment on every n-th note
  bool LinkNeighbours = false; // each note linked to the one before it on its sheet
  std::function<std::string(int)> Text; // the note's body, when given
};

// About 300 bytes of rich text, as a note's body.
inline std::string RtfBody(int i) {
  std::string text = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil Arial;}}\\viewkind4\\uc1\\pard\\f0\\fs20 Note ";
  text += std::to_string(i);
  text += " holds a few lines of text\\par about its subject, with \\b bold\\b0  and \\i italic\\i0  words,\\par";
  text += " a second paragraph that is long enough to look like a real note's body text\\par\r\n}";
  return text;
}

inline std::unique_ptr<TContainer> GenerateProject(const TProjectShape& shape) {
  auto project = std::make_unique<TContainer>();
  TRelationItem* relations[3];
  const char* names[] = {"leads to", "consists of", "assumes"};
  for (int r = 0; r < 3; ++r) {
    TRelation record;
    record.Name = names[r];
    relations[r] = project->AddRelation(record);
  }
  const int sheets = shape.Sheets > 0 ? shape.Sheets : std::max(1, shape.Notes / 100);
  for (int s = 0; s < sheets; ++s) {
    TSheet record;
    record.Name = "Sheet " + std::to_string(s);
    project->AddSheet(record);
  }
  std::vector<TNoteItem*> lastOnSheet(static_cast<size_t>(sheets), nullptr);
  for (int i = 0; i < shape.Notes; ++i) {
    TNote record;
    record.Name = "Note " + std::to_string(i);
    if (shape.Text) record.Text = shape.Text(i);
    TNoteItem* note = project->AddNote(record);
    const int s = i % sheets;
    TSheetItem* sheet = project->SheetPool->GetAllItem(s);
    if (shape.Place)
      project->PlaceNote(note, sheet, (i / sheets % 10) * 100, (i / sheets % 100) / 10 * 80);
    else
      project->AssignNoteToSheet(note, sheet);
    if (shape.SecondSheet && sheets > 1 && i % 10 == 0)
      project->AssignNoteToSheet(note, project->SheetPool->GetAllItem((s + 1) % sheets));
    if (shape.LinkNeighbours && lastOnSheet[static_cast<size_t>(s)])
      project->NewLink(lastOnSheet[static_cast<size_t>(s)], note, relations[i % 3], sheet);
    lastOnSheet[static_cast<size_t>(s)] = note;
    if (shape.AttachmentEvery > 0 && i % shape.AttachmentEvery == 0) {
      TAttachment attachment;
      attachment.Note = note;
      attachment.Caption = "File " + std::to_string(i);
      attachment.Location = "/home/user/documents/file" + std::to_string(i) + ".txt";
      project->AddAttachment(attachment);
    }
  }
  return project;
}

} // namespace qel::bench
