#pragma once
// Stand-in for the note window until the full one is built: it shows one note's caption in
// ED_Caption and stores it back, with the page control PC_Note and its three empty pages.
#include "model/PoolItem.h"

#include <QWidget>

class QLineEdit;
class QTabWidget;

namespace qel {

class TContainer;
class TNoteItem;
class TPoolItemList;

class TNotePrp : public QWidget {
  Q_OBJECT
public:
  explicit TNotePrp(QWidget* parent = nullptr, Qt::WindowFlags flags = {});

  // Binds a note and loads the window from it.
  void ShowNote(TNoteItem* note, TPoolItemList* relationPool, TPoolItemList* linkPool);
  TNoteItem* GetItem() const { return Note.Get(); }
  // Store: the controls into the note; otherwise the note into the controls. A note that has
  // left the project closes the window instead. Always true.
  bool UpdateItem(bool Store);

  TContainer* Container = nullptr; // set by the creator; not owned
  TItemRef<TNoteItem> Note;
  TPoolItemList* RelationPool = nullptr;
  TPoolItemList* LinkPool = nullptr;
  bool Closing = false;

  QLineEdit* ED_Caption;
  QTabWidget* PC_Note;

protected:
  void closeEvent(QCloseEvent* event) override;
};

extern TNotePrp* NotePrp;

} // namespace qel
