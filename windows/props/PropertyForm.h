#pragma once
// Base of every window that shows and edits one thing of the project (the project, a pool
// list, a sheet, a note, an attachment): a one-line info bar with an editable caption box over
// it, and the protocol that moves data between the item and the controls.
//
// Descendants:
//  - keep their item (a TItemRef where it is an item) and, where they check for vanished
//    items, the project (Container, set by the owner; may be null);
//  - implement GetItem and UpdateItem(Store): first `if (ClosedBecauseGone(gone)) return true;`
//    then store the controls into the item (Store) or load them from it, then return
//    TPropertyFrm::UpdateItem(Store);
//  - have their own ShowItem with the item's type, which binds the item when it differs from
//    GetItem and ends with the common TPropertyFrm::ShowItem().
// Loading the controls never marks an item modified: UpdateItem(false) runs with the
// controls' change signals blocked (Loading is true meanwhile).
//
// A window writes only what its user changed: each field the user edits is marked (by its
// control) until it is stored or the window shows another item. UpdateItem(true) writes the
// marked fields only, UpdateItem(false) fills only the unmarked ones, and when any item
// changes (TMainNotices::ItemChanged) every window showing it refills its unmarked fields; a
// hidden window does so when it is shown again, and a window whose item is gone closes.
// Whatever closes, hides or destroys a window lets it store first: closing and hiding do, and
// a window that owns property windows makes them store (StoreOwnedWindows) before it goes.
#include <QIcon>
#include <QList>
#include <QSet>
#include <QWidget>

class QLabel;
class QLineEdit;
class QStatusBar;
class QTextEdit;

namespace qel {

class TContainer;
class TPoolItem;
class TPoolItemList;

class TPropertyFrm : public QWidget {
  Q_OBJECT
public:
  explicit TPropertyFrm(QWidget* parent = nullptr, Qt::WindowFlags flags = {});
  // The caption box loses the focus while the widget is torn down: nothing may store then.
  ~TPropertyFrm() override;

  // The edited thing (the project, a pool, a sheet, a note or an attachment), for identity.
  virtual const void* GetItem() const = 0;
  // Store: the controls into the item; otherwise the item into the controls. Always true.
  virtual bool UpdateItem(bool Store);
  // Whether the window has no item, or its item has left the project (Container's full
  // lists, whatever a search shows).
  virtual bool ItemGone() const { return false; }
  // Stores what the user changed since the last load or store, when anything; true then.
  virtual bool StorePending();
  // Fills the fields the user has not changed here from the item (it changed elsewhere).
  void Reload();
  // Every property window inside the owner (also those opened from them in turn) stores what
  // its user changed, the innermost first. The owner is about to close or go.
  static void StoreOwnedWindows(const QWidget* owner);

  // The marks of fields changed by the user, kept per control; none is set while loading.
  void MarkEdited(const QObject* control);
  bool Edited(const QObject* control) const { return FEdited.contains(control); }
  bool AnyEdited() const { return !FEdited.isEmpty(); }
  void ClearEdited(const QObject* control) { FEdited.remove(control); }
  void ClearEdited() { FEdited.clear(); }
  // The start of every command: a window whose item is gone closes and the command does
  // nothing. True when gone.
  bool CloseIfGone();

  TContainer* Container = nullptr; // where vanished items are checked; not owned
  bool Closing = false;            // closing because the item has left the project
  bool Loading = false;            // the controls are being filled from the item

  QStatusBar* InfoBar;
  QLabel* InfoText; // the info bar's single panel
  QLineEdit* ED_Caption;
  QList<QIcon> IL_Property;

  // Leaving the caption box stores what the user changed in the window.
  void ED_CaptionExit();
  void FormHide();
  void FormResize();

protected:
  // Marks the control whenever it sends the signal outside loading (a change the window's
  // own commands make counts as the user's).
  template <class TControl, class TSignal> void WatchEdits(TControl* control, TSignal signal) {
    connect(control, signal, this, [this, control] { MarkEdited(control); });
  }
  // Marks a text box whenever its document changes outside loading.
  void WatchText(QTextEdit* text);
  // Loading is true while it lives.
  class TLoadGuard {
  public:
    explicit TLoadGuard(TPropertyFrm* form) : FForm(form), FWas(form->Loading) { form->Loading = true; }
    ~TLoadGuard() { FForm->Loading = FWas; }
    TLoadGuard(const TLoadGuard&) = delete;
    TLoadGuard& operator=(const TLoadGuard&) = delete;

  private:
    TPropertyFrm* FForm;
    bool FWas;
  };
  // The start of binding an item: edits made for the item shown so far go into that item;
  // then nothing is marked. True when the item differs from the shown one.
  bool BindItem(const void* item);
  // The common end of every ShowItem: icons, Closing cleared, caption box focused, controls
  // loaded from the item.
  void ShowItem();
  // When gone: marks the window closing and closes it; returns gone.
  bool ClosedBecauseGone(bool gone);
  // Whether the item is missing or, with a project set, not one of the pool's items.
  bool MissingFrom(const TPoolItemList* pool, const TPoolItem* item) const;
  // A window of its own stores its pending edits when the main window asks (before a save,
  // an autosave, a project replacement or the question whether to save).
  void StoreWhenAsked();
  void SetInfo(const QString& text);
  void FitToScreen();

  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  // The main window's notice that the item (null: any item) changed.
  void ItemChanged(const void* item);

  QSet<const QObject*> FEdited;
  bool FBound = false; // an item was bound; its going closes the window
  bool FStale = false; // notices may have been missed since the last load (hidden meanwhile)
  bool FCaptionShown = false; // the caption box showed when the window was last hidden
};

} // namespace qel
