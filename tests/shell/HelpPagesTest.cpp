// The help pages: the contents reach every page and every task the program offers, each link
// and anchor leads somewhere, and every "Menu, Command" a page tells the user to choose is a
// command of the main window's menus.
#include "ShellFixture.h"

#include "platform/qt/QtConvert.h"
#include "shell/Main.h"

#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QSet>

namespace qel::test {
namespace {

const QString kHelp = QStringLiteral(QEL_HELP_DIR);

QString Page(const QString& name) {
  QFile file(kHelp + "/" + name);
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QStringList Matches(const QString& text, const QString& pattern) {
  QStringList found;
  for (const QRegularExpressionMatch& match : QRegularExpression(pattern).globalMatch(text))
    found << match.captured(1);
  return found;
}

QStringList Pages() { return QDir(kHelp).entryList({"*.html"}, QDir::Files, QDir::Name); }

// Without mnemonics and the dots that say a window follows.
QString Plain(QString text) {
  text.remove(QRegularExpression("&(?!&)"));
  return text.remove(QRegularExpression("\\.\\.\\.$")).trimmed();
}

TEST(HelpPagesTest, TheContentsLinkEveryPage) {
  const QStringList pages = Pages();
  ASSERT_TRUE(pages.contains("index.html")) << FromQString(kHelp);
  const QStringList linked = Matches(Page("index.html"), "href=\"([^\"#]+)");
  for (const QString& page : pages)
    if (page != "index.html") {
      EXPECT_TRUE(linked.contains(page)) << page.toStdString() << " is not in the contents";
    }
}

TEST(HelpPagesTest, EveryLinkAndAnchorExists) {
  for (const QString& page : Pages())
    for (const QString& target : Matches(Page(page), "href=\"([^\"]+)\"")) {
      if (target.startsWith("http")) continue;
      const QString file = target.section('#', 0, 0).isEmpty() ? page : target.section('#', 0, 0);
      const QString anchor = target.section('#', 1);
      ASSERT_TRUE(QFile::exists(kHelp + "/" + file)) << page.toStdString() << " -> " << target.toStdString();
      if (!anchor.isEmpty()) {
        EXPECT_TRUE(Page(file).contains("id=\"" + anchor + "\""))
            << page.toStdString() << " -> " << target.toStdString();
      }
    }
}

// Each task a user looks for has a heading on a page that the contents link.
TEST(HelpPagesTest, EachTaskHasASectionReachableFromTheContents) {
  const QStringList linked = Matches(Page("index.html"), "href=\"([^\"#]+)");
  const std::vector<std::pair<const char*, const char*>> tasks = {
      {"links", "<h2>Making a link</h2>"},
      {"relation types", "<h1>Relation types</h1>"},
      {"curve handles", "Curve handles</h2>"},
      {"notes that stand for a sheet", "Notes that stand for a sheet</h2>"},
      {"one note on several sheets", "One note on several sheets</h2>"},
      {"export", "<h1>Export</h1>"}};
  for (const auto& [task, heading] : tasks) {
    QStringList where;
    for (const QString& page : linked)
      if (Page(page).contains(heading)) where << page;
    EXPECT_FALSE(where.isEmpty()) << task;
  }
}

class HelpMenuTest : public ShellTest {};

TEST_F(HelpMenuTest, EveryMenuCommandNamedInTheHelpExists) {
  StartUp();
  QSet<QString> commands;
  for (QAction* menu : QELMain->menuBar()->actions())
    if (menu->menu()) {
      emit menu->menu()->aboutToShow();
      for (QAction* entry : menu->menu()->actions())
        commands.insert(Plain(menu->text()) + ", " + Plain(entry->text()));
    }
  ASSERT_TRUE(commands.contains("View, Relation types"));
  int named = 0;
  for (const QString& page : Pages())
    for (const QString& command : Matches(Page(page), "<em>((?:File|Edit|Search|View|Window|Help), [^<]+)</em>")) {
      ++named;
      EXPECT_TRUE(commands.contains(Plain(command))) << page.toStdString() << ": " << command.toStdString();
    }
  EXPECT_GT(named, 5);
}

} // namespace
} // namespace qel::test
