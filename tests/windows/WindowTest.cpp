#include "WindowTest.h"

#include <QPixmap>

namespace qel::test {

WindowTest::WindowTest() {
  Project.Directory = Temp.path().toStdString() + "/";
  Project.AddRelation(TRelation{-1, "is part of", -1});
  Script.OnFailure = [](const std::string& box) { ADD_FAILURE() << "unexpected box: " << box; };
}

TNoteItem* WindowTest::AddNote(const std::string& name, const std::string& text) {
  TNote record;
  record.Name = name;
  record.Text = text;
  return Project.AddNote(record);
}

TSheetItem* WindowTest::AddSheet(const std::string& name) {
  TSheet record;
  record.Name = name;
  return Project.AddSheet(record);
}

void WindowTest::Put(TNoteItem* note, TSheetItem* sheet, int x, int y) {
  if (x < 0)
    Project.AssignNoteToSheet(note, sheet);
  else
    Project.PlaceNote(note, sheet, x, y);
}

TLinkItem* WindowTest::Link(TNoteItem* from, TNoteItem* to, TSheetItem* sheet) {
  return Project.NewLink(from, to, Project.GetRelation(0), sheet);
}

std::unique_ptr<QPrinter> WindowTest::PdfPrinter(const std::string& name) const {
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  printer->setOutputFormat(QPrinter::PdfFormat);
  printer->setOutputFileName(QString::fromStdString(Folder() + name));
  return printer;
}

QList<QIcon> WindowTest::DistinctIcons() {
  QList<QIcon> icons;
  for (int i = 0; i < 9; ++i) {
    QPixmap pixmap(16, 16);
    pixmap.fill(QColor(i * 25, 0, 0));
    icons << QIcon(pixmap);
  }
  return icons;
}

} // namespace qel::test
