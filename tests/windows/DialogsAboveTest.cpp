#include "GuiTest.h"
#include "platform/qt/Dialogs.h"
#include "windows/links/NewLink.h"
#include "windows/links/RelationFrm.h"
#include "windows/props/NotePropReplaceDialog.h"
#include "windows/search/ExportData.h"

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>

using namespace qel;

namespace {

// Shows a box of Qt's own provider while a stay-on-top window is active, and gives the box's
// window flags; the box is cancelled as soon as it is up.
Qt::WindowFlags FlagsOfBoxShownBy(const std::function<void()>& show) {
  QWidget onTop(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint);
  onTop.show();
  onTop.activateWindow();
  IDialogProvider* previous = SetDialogProvider(nullptr);
  Qt::WindowFlags flags;
  bool seen = false;
  QTimer poll;
  poll.setInterval(5);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!modal) return;
    flags = modal->windowFlags();
    seen = true;
    modal->reject();
  });
  poll.start();
  show();
  SetDialogProvider(previous);
  EXPECT_TRUE(seen);
  return flags;
}

} // namespace

// Fault: boxes and dialogs were ordinary windows, so a stay-on-top note, sheet or search
// window could cover a question such as "delete this note?".
TEST(DialogsAbove, EveryBoxAndDialogStandsAboveTheStayOnTopWindows) {
  test::EnsureApplication();
  const struct {
    const char* name;
    std::function<void()> show;
  } boxes[] = {
      {"message box", [] { MessageDlg("Delete this note?", TMsgDlgType::mtConfirmation, mbYesNo); }},
      {"input box",
       [] {
         std::string value;
         Dialogs().InputQuery("Enter URL", "URL ", value);
       }},
      {"open dialog",
       [] {
         TFileDialogRequest request;
         Dialogs().OpenDialog(request);
       }},
      {"save dialog",
       [] {
         TFileDialogRequest request;
         Dialogs().SaveDialog(request);
       }},
      {"folder dialog",
       [] {
         std::string folder = QDir::tempPath().toStdString();
         Dialogs().SelectDirectory("Folder", folder);
       }},
      {"colour dialog",
       [] {
         TColor color = clRed;
         Dialogs().ColorDialog(color);
       }},
  };
  for (const auto& box : boxes) {
    SCOPED_TRACE(box.name);
    EXPECT_TRUE(FlagsOfBoxShownBy(box.show) & Qt::WindowStaysOnTopHint);
  }
  // The program's own dialogs.
  QWidget owner(nullptr, Qt::Window | Qt::WindowStaysOnTopHint);
  const std::unique_ptr<QWidget> dialogs[] = {
      std::make_unique<TRelationForm>(&owner), std::make_unique<TNewLinkForm>(&owner),
      std::make_unique<TReplaceDialog>(&owner), std::make_unique<TExpDataFrm>(&owner)};
  for (const auto& dialog : dialogs) {
    SCOPED_TRACE(dialog->metaObject()->className());
    EXPECT_TRUE(dialog->windowFlags() & Qt::WindowStaysOnTopHint);
  }
}
