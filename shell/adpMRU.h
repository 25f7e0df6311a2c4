#pragma once
// The recent-file list: file names, newest first, shown as entries of a menu and kept in the
// settings as "MRU1" (newest) onward. Every change is stored at once, so the list survives a
// crash; a change starts from the list as stored, so that what another running program added
// stays. A click on an entry reports its file name.
#include <QAction>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>


namespace qel {

// An entry the list added to its menu; other entries of that menu are left alone.
class TMRUMenuItem : public QAction {
  Q_OBJECT
public:
  using QAction::QAction;
};

using TMRUClickEvent = std::function<void(QObject* Sender, const std::string& FileName)>;

class TadpMRU : public QObject {
  Q_OBJECT
public:
  explicit TadpMRU(QObject* owner = nullptr);
  ~TadpMRU() override;

  // Puts the name at the top (an equal name moves there); keeps at most MaxItems names.
  void AddFile(const std::string& FileName);
  const std::vector<std::string>& Files() const { return FFiles; }

  uint32_t MaxItems() const { return FMaxItems; }
  void SetMaxItems(uint32_t Value);
  bool ShowFullPath() const { return FShowFullPath; }
  void SetShowFullPath(bool Value);
  const std::string& RegistryPath() const { return FRegistryPath; }
  // A new path reads the list stored there.
  void SetRegistryPath(const std::string& Value);
  QMenu* ParentMenuItem() const { return FParentMenuItem; }
  void SetParentMenuItem(QMenu* Value);
  TMRUClickEvent OnClick;

  void LoadFromRegistry();
  void SaveToRegistry();
  void RebuildMenu();
  void RemoveMenuItems();
  void ItemClick(QObject* Sender);

private:
  // Changes inside one update rebuild the menu once, at its end.
  void BeginUpdate() { ++FUpdating; }
  void EndUpdate();
  void Changed();

  std::vector<std::string> FFiles;
  uint32_t FMaxItems = 4;
  bool FShowFullPath = true;
  std::string FRegistryPath;
  QPointer<QMenu> FParentMenuItem;
  int FUpdating = 0;
  bool FChanged = false;
};

} // namespace qel
