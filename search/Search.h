#pragma once
// Stand-in for the search window until the full one is built: a stay-on-top window with the
// four search pages and the first field of each, bound to a project. It runs no search yet.
// Closing it frees it.
#include <QWidget>
#include <string>

class QComboBox;
class QLineEdit;
class QTabWidget;

namespace qel {

class TContainer;

class TfrmSearch : public QWidget {
  Q_OBJECT
public:
  explicit TfrmSearch(QWidget* owner);
  ~TfrmSearch() override;

  void SetContainer(TContainer* container);
  // 0 global, 1 notes, 2 sheets, 3 attachments.
  void SelectSearchKind(int kind);

  TContainer* Container = nullptr; // not owned
  std::string LastSearchText;       // the first search field of the last search
  QTabWidget* SearchKind;
  QComboBox* cbGlobalText1;
  QLineEdit* edt_notecaption;
  QLineEdit* edt_sheetcaption;
  QLineEdit* edt_attachmentcaption;
};

// The search window made last; null once it is closed.
extern TfrmSearch* frmSearch;

} // namespace qel
