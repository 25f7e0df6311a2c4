// The font boxes of the note and sheet windows list families by name alone.
#include "platform/qt/Fonts.h"
#include "tests/windows/WindowTest.h"
#include "windows/props/NoteProp.h"
#include "windows/props/SheetProp.h"

#include <QComboBox>
#include <QFile>
#include <QFontDatabase>
#include <QTemporaryDir>

using namespace qel;

namespace {

// A copy of an installed font whose maker (the vendor of its OS/2 table) is another, so that
// one family comes from two foundries.
int AddSecondFoundry(const QString& folder) {
  QFile original("/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf");
  if (!original.open(QIODevice::ReadOnly)) return -1;
  QByteArray font = original.readAll();
  const auto word = [&font](qsizetype at) { return (uchar(font[at]) << 8) | uchar(font[at + 1]); };
  const auto dword = [&](qsizetype at) { return (qsizetype(word(at)) << 16) | word(at + 2); };
  for (int i = 0, tables = word(4); i < tables; ++i) {
    const qsizetype entry = 12 + 16 * i;
    if (font.mid(entry, 4) == "OS/2") font.replace(dword(entry + 8) + 58, 4, "QELT");
  }
  QFile copy(folder + "/Second.ttf");
  if (!copy.open(QIODevice::WriteOnly) || copy.write(font) != font.size()) return -1;
  copy.close();
  return QFontDatabase::addApplicationFont(copy.fileName());
}

class FontBoxTest : public test::WindowTest {};

TEST_F(FontBoxTest, FamiliesOfSeveralFoundriesAreListedOnceByName) {
  for (auto [family, shown] : std::vector<std::pair<QString, QString>>{{"C059 [UKWN]", "C059"},
                                                                       {"Liberation Sans", "Liberation Sans"},
                                                                       {"Odd [1] Name", "Odd [1] Name"},
                                                                       {"[Mark]", "[Mark]"}})
    EXPECT_EQ(WithoutFoundry(family), shown) << family.toStdString();

  QTemporaryDir folder;
  ASSERT_GE(AddSecondFoundry(folder.path()), 0);
  ASSERT_TRUE(QFontDatabase::families().contains("Liberation Sans [QELT]")) << "the test font";

  TNotePrp note(nullptr, Qt::Window);
  note.show();
  TSheetPrp sheet(nullptr, Qt::Window);
  sheet.show();
  for (QComboBox* box : {note.FontName, sheet.FontName1}) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
      items << box->itemText(i);
    EXPECT_EQ(items.count("Liberation Sans"), 1);
    for (const QString& item : items)
      EXPECT_FALSE(item.endsWith(']')) << item.toStdString();
    EXPECT_EQ(items.size(), QSet<QString>(items.begin(), items.end()).size());
  }
}

} // namespace
