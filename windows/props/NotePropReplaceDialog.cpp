#include "NotePropReplaceDialog.h"
#include "platform/qt/Dialogs.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qel {

TReplaceDialog::TReplaceDialog(QWidget* parent) : QDialog(parent, Qt::Dialog) {
  KeepAbove(this);
  setWindowTitle("Replace");
  setModal(false);
  FindText = new QLineEdit(this);
  ReplaceText = new QLineEdit(this);
  WholeWord = new QCheckBox("Match &whole word only", this);
  MatchCase = new QCheckBox("Match &case", this);
  FindNextButton = new QPushButton("&Find Next", this);
  ReplaceButton = new QPushButton("&Replace", this);
  ReplaceAllButton = new QPushButton("Replace &All", this);
  auto* cancel = new QPushButton("Cancel", this);
  auto* fields = new QFormLayout;
  fields->addRow("Fi&nd what:", FindText);
  fields->addRow("Re&place with:", ReplaceText);
  fields->addRow(WholeWord);
  fields->addRow(MatchCase);
  auto* buttons = new QVBoxLayout;
  for (QPushButton* button : {FindNextButton, ReplaceButton, ReplaceAllButton, cancel}) buttons->addWidget(button);
  buttons->addStretch(1);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(fields, 1);
  layout->addLayout(buttons);
  FindNextButton->setDefault(true);
  connect(FindNextButton, &QPushButton::clicked, this, &TReplaceDialog::Find);
  connect(ReplaceButton, &QPushButton::clicked, this, [this] { emit Replace(false); });
  connect(ReplaceAllButton, &QPushButton::clicked, this, [this] { emit Replace(true); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::hide);
}

} // namespace qel
