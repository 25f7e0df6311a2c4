// A close asked for while the search window searches or exports (its events still run then).
#include "SearchWindowFixture.h"

#include <QComboBox>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace qel::test {
namespace {

struct TBusyClose {
  const char* Name;
  bool Export;    // else a search
  bool CloseMain; // else the search window
};

class SearchWindowBusyClose : public SearchWindowFixture, public ::testing::WithParamInterface<TBusyClose> {};

// Fault: the window system's close during a search or an export freed the search window (or
// the project, through the main window's close) under the command still running on it.
TEST_P(SearchWindowBusyClose, WaitsUntilTheCommandIsOverAndThenCloses) {
  const TBusyClose c = GetParam();
  Open(0);
  Window->cbGlobalText1->setEditText("Note");
  TContainer* project = &Project();
  QSignalSpy mainClosed(QELMain, &TQELMain::Closed);
  bool closedAtOnce = true;
  int ticks = 0;
  // Runs inside the command, when the window system gets its turn.
  QTimer::singleShot(0, Window, [&] {
    ++ticks;
    closedAtOnce = c.CloseMain ? QELMain->close() : Window->close();
  });
  if (c.Export)
    EXPECT_TRUE(Window->ExportResults("ExBig", Root + "Result"));
  else
    Window->btn_searchClick();
  EXPECT_EQ(ticks, 1);
  EXPECT_FALSE(closedAtOnce);
  ASSERT_TRUE(Window);
  EXPECT_TRUE(Window->isVisible());
  EXPECT_EQ(&Project(), project);
  EXPECT_EQ(mainClosed.count(), 0);
  // Then the close happens.
  EXPECT_TRUE(QTest::qWaitFor(
      [&] {
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return c.CloseMain ? mainClosed.count() == 1 : Window.isNull();
      },
      2000));
  EXPECT_TRUE(Script.Shown.empty());
}

INSTANTIATE_TEST_SUITE_P(, SearchWindowBusyClose,
                         ::testing::Values(TBusyClose{"SearchWindowDuringSearch", false, false},
                                           TBusyClose{"SearchWindowDuringExport", true, false},
                                           TBusyClose{"MainWindowDuringSearch", false, true},
                                           TBusyClose{"MainWindowDuringExport", true, true}),
                         [](const auto& info) { return std::string(info.param.Name); });

} // namespace
} // namespace qel::test
