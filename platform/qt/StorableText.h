#pragma once
// Text boxes whose text goes into the project's data files. Those files hold Windows-1252
// bytes and use "ÿ" (byte 0xFF) as their field separator, so that letter and characters outside
// the code page cannot be stored. A guarded box leaves them out as they are typed or pasted
// and says so in a tool tip at the box, instead of the save changing them later.
#include <QString>
#include <QStyledItemDelegate>

class QLineEdit;

namespace qel {

// The text without what the data files cannot hold; `left` receives the characters left out.
QString StorableText(const QString& text, QString* left = nullptr);
// What the box says when characters were left out.
QString LeftOutMessage(const QString& left);
// Guards a box for as long as it lives.
void GuardStorableText(QLineEdit* edit);

// An item delegate whose text editors are guarded.
class TStorableTextDelegate : public QStyledItemDelegate {
public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

} // namespace qel
