#pragma once
// Small builders and tree readers shared by the navigator tests.
#include "model/Container.h"
#include "platform/qt/QtConvert.h"

#include <QStringList>
#include <QTreeWidgetItem>
#include <ostream>
#include <string>

// Readable failure output for Qt strings.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace qel::test {

inline TSheetItem* NewSheet(TContainer& project, const std::string& name, TColor color = clWhite) {
  TSheet record;
  record.Name = name;
  record.Color = color;
  return project.AddSheet(record);
}

// A note; with standsFor an aggregation note for that sheet.
inline TNoteItem* NewNote(TContainer& project, const std::string& name, TSheetItem* standsFor = nullptr) {
  TNote record;
  record.Name = name;
  if (standsFor) {
    record.Kind = 0;
    record.Sheet = standsFor;
  }
  return project.AddNote(record);
}

// Assigns the note to the sheet, placed at (10, 10) or not placed.
inline TPosItem* Assign(TContainer& project, TNoteItem* note, TSheetItem* sheet, bool placed) {
  TPos record;
  record.Note = note;
  record.Sheet = sheet;
  if (placed) record.X = record.Y = 10;
  return project.AddPosition(record);
}

inline TAttachItem* NewAttachment(TContainer& project, TNoteItem* note, const std::string& caption,
                                  const std::string& location = {}) {
  TAttachment record;
  record.Note = note;
  record.Caption = caption;
  record.Location = location;
  return project.AddAttachment(record);
}

inline QStringList ChildTexts(const QTreeWidgetItem* parent) {
  QStringList texts;
  for (int i = 0; i < parent->childCount(); ++i) texts << parent->child(i)->text(0);
  return texts;
}

// The first child with the text, or null.
template <class T = QTreeWidgetItem> T* ChildNamed(const QTreeWidgetItem* parent, const std::string& text) {
  for (int i = 0; i < parent->childCount(); ++i)
    if (parent->child(i)->text(0) == ToQString(text)) return static_cast<T*>(parent->child(i));
  return nullptr;
}

} // namespace qel::test
