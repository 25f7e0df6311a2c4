#pragma once
// The new-link dialog: the relation type, colour and line width of a link about to be made
// between two notes on a sheet. It makes no link itself: after OK the caller reads the
// Chosen... fields. OK refuses a type that already links the same notes the same way on the
// same sheet. One instance (NewLinkForm) is made at start-up and reused; Setup resets it.
#include "windows/props/ColorPanel.h"
#include "model/DataStructures.h"
#include "model/PoolItem.h"

#include <QDialog>
#include <QFrame>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace qel {

class TContainer;
class TNoteItem;
class TRelationItem;
class TSheetItem;

class TNewLinkForm : public QDialog {
  Q_OBJECT
public:
  explicit TNewLinkForm(QWidget* parent = nullptr);

  void Setup(TContainer* Container, TNoteItem* FromNote, TNoteItem* ToNote, TSheetItem* Sheet);
  // Default record, its colour and width, and every relation type name (sorted, first chosen).
  void FillDialog();
  void PN_LinkColorDblClick();
  // Stores the choice and closes with OK, unless the chosen type would duplicate a link.
  virtual void BTN_OkClick();
  // Pool index of the relation type of the list entry; the entry count when none.
  int ListToPoolIndex(int ListIndex) const;
  // The list entry of the relation type at the pool index; the entry count when none.
  int PoolToListIndex(int PoolIndex) const;

  TContainer* Container = nullptr; // not owned
  TItemRef<TNoteItem> FromNote;
  TItemRef<TNoteItem> ToNote;
  TItemRef<TSheetItem> Sheet;
  TLink LinkRecord;
  // Valid after the dialog closed with OK. ChosenRelation is null when the project had no
  // relation type to choose.
  TItemRef<TRelationItem> ChosenRelation;
  TColor ChosenColor = clBlack;
  uint8_t ChosenArrow = 2;
  int ChosenWidth = 1;

  QLabel* Label13;
  QComboBox* CB_LinkType;
  QLabel* Label19;
  QLineEdit* ED_LinkWidth; // the text part of SP_LinkWidth, read-only
  QSpinBox* SP_LinkWidth;
  QLabel* Label15;
  TColorPanel* PN_LinkColor;
  QLabel* Label17;
  QComboBox* CB_ArrowType;
  QPushButton* BTN_Ok;
  QPushButton* BTN_Cancel;

protected:
  // The relation type of the entry chosen in the list, or null.
  TRelationItem* ListedRelation() const;
  // The relation type of a list entry; null when there is none or it was deleted meanwhile.
  TRelationItem* EntryRelation(int ListIndex) const;
  // Whether a link of the type already joins the notes this way on the sheet; tells the user.
  bool RefusedAsDuplicate(TRelationItem* relation) const;
  // The last step of OK: the results, and the dialog closes.
  void Choose(TRelationItem* relation);

private:
  TColor FDialogColor = clBlack; // the colour dialog opens with the colour it last returned
  // The relation type of each list entry, in list order: entries of equal names stay apart.
  std::vector<TItemRef<TRelationItem>> FEntries;
};

// The new-link dialog made at start-up.
extern TNewLinkForm* NewLinkForm;

} // namespace qel
