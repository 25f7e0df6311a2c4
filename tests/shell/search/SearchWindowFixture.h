#pragma once
// The program's windows on a project of three notes on two sheets, with a search window open.
#include "tests/search/SearchFixture.h"
#include "ShellFixture.h"
#include "windows/search/Search.h"
#include "windows/search/SearchColorPanel.h"
#include "windows/search/SearchResultsTree.h"
#include "windows/search/TVEngine.h"
#include "shell/Main.h"

#include <QApplication>

namespace qel::test {

class SearchWindowFixture : public ShellTest {
protected:
  // Opens the project and a search window on the page of the kind.
  void Open(int kind) {
    TProjectShape shape;
    shape.Notes = 3;
    shape.Sheets = 2;
    OpenProject(shape);
    QELMain->show();
    QApplication::processEvents();
    QELMain->ShowSearchWindow();
    Window = frmSearch;
    Window->SelectSearchKind(kind);
  }
  TAttachItem* AddFile(const std::string& caption, const std::string& location) {
    TAttachment record;
    record.Note = Project().GetNote(0);
    record.Caption = caption;
    record.Location = location;
    return Project().AddAttachment(record);
  }
  // The node reached from the root by the texts of the path, or null.
  TResultNode* Find(const Names& path) const {
    auto* node = static_cast<TResultNode*>(Window->trvSearchResults->topLevelItem(0));
    for (const std::string& text : path) {
      TResultNode* next = nullptr;
      for (int i = 0; node && i < node->childCount() && !next; ++i)
        if (node->child(i)->text(0).toStdString() == text) next = node->Child(i);
      node = next;
    }
    return node;
  }
  Names Children(const Names& path) const {
    Names texts;
    if (TResultNode* node = Find(path))
      for (int i = 0; i < node->childCount(); ++i)
        texts.push_back(node->child(i)->text(0).toStdString());
    return texts;
  }
  void Select(const Names& path) {
    TResultNode* node = Find(path);
    ASSERT_NE(node, nullptr);
    Window->trvSearchResults->setCurrentItem(node);
  }
  TResultNode* SelectedNode() const { return static_cast<TResultNode*>(Window->trvSearchResults->currentItem()); }

  QPointer<TfrmSearch> Window;
};

} // namespace qel::test
