#include "GuiTest.h"
#include "model/Container.h"
#include "platform/qt/QtConvert.h"
#include "windows/props/PropertyForm.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTest>
#include <gtest/gtest.h>

using namespace qel;

namespace {

// A property window of a sheet: its name in the caption box.
class TSheetNamePrp : public TPropertyFrm {
public:
  using TPropertyFrm::TPropertyFrm;
  const void* GetItem() const override { return Sheet.Get(); }
  bool UpdateItem(bool Store) override {
    if (ClosedBecauseGone(Container && !Container->HasSheet(Sheet.Get()))) return true;
    ++Updates;
    if (Store)
      Sheet->SetName(FromQString(ED_Caption->text()));
    else
      ED_Caption->setText(ToQString(Sheet->Data.Name));
    return TPropertyFrm::UpdateItem(Store);
  }
  void ShowItem(TSheetItem* sheet) {
    if (sheet != GetItem()) Sheet = sheet;
    ED_Caption->show();
    SetInfo("Sheet");
    TPropertyFrm::ShowItem();
  }
  TItemRef<TSheetItem> Sheet;
  int Updates = 0;
};

class PropertyForm : public ::testing::Test {
protected:
  void SetUp() override {
    test::EnsureApplication();
    TSheet record;
    record.Name = "Plan";
    Sheet = Project.AddSheet(record);
    Owned = std::make_unique<TSheetNamePrp>();
    Owned->Container = &Project;
    Owned->show();
    Owned->ShowItem(Sheet);
    Window = Owned.get();
  }
  TContainer Project;
  TSheetItem* Sheet = nullptr;
  std::unique_ptr<TSheetNamePrp> Owned;
  TSheetNamePrp* Window = nullptr;
};

} // namespace

TEST_F(PropertyForm, ShowingLoadsAndLeavingTheCaptionStores) {
  EXPECT_EQ(Window->ED_Caption->text(), "Plan");
  EXPECT_FALSE(Window->Closing);
  Project.SetModified(false);
  Window->ED_Caption->setText("Plan B");
  Window->ED_CaptionExit();
  EXPECT_EQ(Sheet->Data.Name, "Plan B");
  EXPECT_TRUE(Project.IsModified());

  Sheet->SetName("Renamed elsewhere");
  Window->ShowItem(Sheet); // the same item again: reloaded, not re-bound
  EXPECT_EQ(Window->ED_Caption->text(), "Renamed elsewhere");
  EXPECT_EQ(Window->GetItem(), Sheet);
}

TEST_F(PropertyForm, AWindowWhoseItemIsGoneClosesWithoutStoring) {
  Window->ED_Caption->setText("typed");
  Sheet->Delete();
  int updates = Window->Updates;
  EXPECT_TRUE(Window->UpdateItem(true));
  EXPECT_TRUE(Window->Closing);
  EXPECT_FALSE(Window->isVisible());
  EXPECT_EQ(Window->Updates, updates); // nothing was stored or loaded
  Window->ED_CaptionExit();            // suppressed while closing
  EXPECT_EQ(Window->Updates, updates);

  TSheetItem* other = Project.AddSheet(TSheet{});
  Window->ShowItem(other);
  EXPECT_FALSE(Window->Closing);
  EXPECT_EQ(Window->ED_Caption->text(), "New Sheet");
}

TEST_F(PropertyForm, CaptionBoxPastesOnceAndFollowsTheInfoBar) {
  QApplication::clipboard()->setText("pasted");
  Window->ED_Caption->clear();
  Window->ED_Caption->setFocus();
  QTest::keyClick(Window->ED_Caption, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Window->ED_Caption->text(), "pasted");

  Window->resize(600, 120);
  QApplication::processEvents();
  EXPECT_EQ(Window->ED_Caption->width(), Window->InfoBar->width());
  Window->hide();
  EXPECT_FALSE(Window->ED_Caption->isVisibleTo(Window));
}
