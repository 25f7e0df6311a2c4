// The search window finds words of every script that its fields are given.
#include "SearchWindowFixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

namespace qel::test {
namespace {

using SearchWindowScripts = SearchWindowFixture;

// Fault: the fields were taken as Windows-1252, so "мир" was searched as "???" and found every
// note holding any three Cyrillic letters.
TEST_F(SearchWindowScripts, ACyrillicOrGreekWordIsFoundOnlyWhereItStands) {
  Open(1);
  Project().GetNote(0)->SetText("{\\rtf1\\ansi\\uc1 \\u1055?\\u1088?\\u1080?\\u1074?\\u1077?\\u1090?, "
                                "\\u1084?\\u1080?\\u1088?!}"); // Привет, мир!
  Project().GetNote(1)->SetText("{\\rtf1\\ansi\\uc1 \\u1044?\\u1086?\\u1084? \\u1080? \\u1089?\\u1072?\\u1076?, "
                                "\\u927?\\u916?\\u927?\\u931?}"); // Дом и сад, ΟΔΟΣ
  const struct {
    const char* typed;
    Names found;
  } cases[] = {
      {"МИР", {"Note 1"}}, {"мор", {}}, {"мир сад", {"Note 1", "Note 2"}}, {"САД", {"Note 2"}}, {"οδος", {"Note 2"}},
  };
  for (const auto& c : cases) {
    Window->edt_notememo->setText(QString::fromUtf8(c.typed));
    Window->btn_search->click();
    EXPECT_EQ(Children({"Notes"}), c.found) << c.typed;
  }
  Window->SelectSearchKind(0);
  Window->cbGlobalText1->setEditText(QString::fromUtf8("ПРИВЕТ"));
  Window->btn_search->click();
  EXPECT_EQ(Children({"Notes"}), (Names{"Note 1"}));
  // The note window's Find starts from the word as it was typed.
  EXPECT_EQ(Window->LastSearchText, QString::fromUtf8("ПРИВЕТ"));
}

} // namespace
} // namespace qel::test
