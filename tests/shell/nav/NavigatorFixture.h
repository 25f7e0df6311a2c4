#pragma once
// The program's windows on a saved project, shown, with the navigator at hand.
#include "tests/windows/nav/NavTestSupport.h"
#include "ShellFixture.h"
#include "windows/sheet/SheetForm.h"
#include "shell/Main.h"
#include "windows/nav/Navigator.h"

#include <QApplication>
#include <QMdiSubWindow>

namespace qel::test {

class NavigatorTest : public ShellTest {
protected:
  // A project of the shape (by default "Sheet 1" holding "Note 1" and "Note 2", and
  // "Attachment 1" on "Note 1"), opened and shown.
  void Run(const TProjectShape& shape = {}) {
    OpenProject(shape);
    QELMain->showMaximized(); // as the program shows it
    QApplication::processEvents();
    Nav = NavForm;
  }
  TNavTree& Tree() { return *Nav->Tree; }
  // The children of a node as the user sees them once the node is expanded.
  TNavNode* Node(QTreeWidgetItem* parent, const std::string& text) {
    return ChildNamed<TNavNode>(Opened(parent), text);
  }
  QStringList ChildTexts(QTreeWidgetItem* parent) { return test::ChildTexts(Opened(parent)); }
  QTreeWidgetItem* Opened(QTreeWidgetItem* parent) {
    if (parent) Tree().ExpandNode(static_cast<TNavNode*>(parent));
    return parent;
  }
  TNavNode* SheetNode(const std::string& name) { return Node(Tree().SheetsNode, name); }
  TNavNode* NoteNode(const std::string& name) { return Node(Tree().NotesNode, name); }
  void Select(TNavNode* node) {
    ASSERT_NE(node, nullptr);
    Nav->TV_Container->setCurrentItem(node);
    Nav->RefreshItem(nullptr, false);
  }
  void Click(TNavNode* node) {
    Nav->TV_Container->setCurrentItem(node);
    Nav->TV_ContainerClick();
  }
  std::vector<TDrawSheet*> SheetWindows() { return QELMain->ChildWindows<TDrawSheet>(); }
  QWidget* ActiveWindow() {
    QMdiSubWindow* active = QELMain->MdiArea->activeSubWindow();
    return active ? active->widget() : nullptr;
  }
  TSheetItem* SheetNamed(const std::string& name) {
    for (int i = 0; i < Project().SheetCount(); ++i)
      if (Project().GetSheet(i)->Data.Name == name) return Project().GetSheet(i);
    return nullptr;
  }

  TNavForm* Nav = nullptr;
};

} // namespace qel::test
