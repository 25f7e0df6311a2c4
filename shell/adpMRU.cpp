#include "adpMRU.h"

#include "platform/Ansi.h"
#include "platform/Convert.h"
#include "platform/FileNames.h"
#include "platform/qt/QtConvert.h"
#include "platform/qt/Registry.h"

#include <QMenu>
#include <algorithm>
#include <map>
#include <optional>

namespace qel {
namespace {

constexpr uint32_t kUnlimited = 2147483646;

// The number of a value named "MRU<n>" (letter case ignored, as value names are).
std::optional<long long> MruNumber(const std::string& name) {
  if (name.size() < 4 || AnsiLowerCase(name.substr(0, 3)) != "mru") return std::nullopt;
  long long n = 0;
  for (size_t i = 3; i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9' || n > kUnlimited) return std::nullopt;
    n = n * 10 + (name[i] - '0');
  }
  return n;
}

} // namespace

TadpMRU::TadpMRU(QObject* owner) : QObject(owner) {}

TadpMRU::~TadpMRU() { RemoveMenuItems(); }

void TadpMRU::EndUpdate() {
  if (--FUpdating == 0 && FChanged) {
    FChanged = false;
    RebuildMenu();
  }
}

void TadpMRU::Changed() {
  if (FUpdating > 0)
    FChanged = true;
  else
    RebuildMenu();
}

void TadpMRU::AddFile(const std::string& FileName) {
  if (FileName.empty()) return;
  BeginUpdate();
  LoadFromRegistry(); // as stored, what another program added included
  FFiles.erase(std::remove(FFiles.begin(), FFiles.end(), FileName), FFiles.end());
  FFiles.insert(FFiles.begin(), FileName);
  if (FFiles.size() > FMaxItems) FFiles.resize(FMaxItems);
  Changed();
  EndUpdate();
  SaveToRegistry();
}

void TadpMRU::SetMaxItems(uint32_t Value) {
  if (Value == FMaxItems) return;
  if (Value == 0) {
    FMaxItems = 1;
  } else if (Value > 2147483647u) {
    FMaxItems = kUnlimited;
  } else {
    const bool fewer = Value < FMaxItems;
    FMaxItems = Value;
    if (!fewer) return;
    BeginUpdate();
    LoadFromRegistry(); // as stored, what another program added included
    if (FFiles.size() > FMaxItems) FFiles.resize(FMaxItems);
    Changed();
    EndUpdate();
    SaveToRegistry();
  }
}

void TadpMRU::SetShowFullPath(bool Value) {
  if (Value == FShowFullPath) return;
  FShowFullPath = Value;
  RebuildMenu();
}

void TadpMRU::SetRegistryPath(const std::string& Value) {
  if (Value == FRegistryPath) return;
  FRegistryPath = Value;
  LoadFromRegistry();
}

void TadpMRU::SetParentMenuItem(QMenu* Value) {
  if (Value == FParentMenuItem) return;
  RemoveMenuItems();
  FParentMenuItem = Value;
  RebuildMenu();
}

void TadpMRU::LoadFromRegistry() {
  TRegistry registry;
  if (FRegistryPath.empty() || !registry.OpenKey(FRegistryPath, false)) return;
  // Only the values present are read, in the order of their numbers.
  std::map<long long, std::string> stored;
  for (const std::string& name : registry.GetValueNames())
    if (auto n = MruNumber(name); n && *n >= 1 && *n <= FMaxItems) stored[*n] = registry.ReadString(name);
  BeginUpdate();
  FFiles.clear();
  for (auto& [n, file] : stored) FFiles.push_back(file);
  Changed();
  EndUpdate();
}

void TadpMRU::SaveToRegistry() {
  TRegistry registry;
  if (FRegistryPath.empty() || !registry.OpenKey(FRegistryPath, true)) return;
  // Every old entry goes, so none comes back from behind a gap.
  for (const std::string& name : registry.GetValueNames())
    if (MruNumber(name)) registry.DeleteValue(name);
  for (size_t i = 0; i < FFiles.size(); ++i) registry.WriteString("MRU" + IntToStr(static_cast<long long>(i + 1)), FFiles[i]);
}

void TadpMRU::RebuildMenu() {
  if (!FParentMenuItem) return;
  RemoveMenuItems();
  for (size_t i = 0; i < FFiles.size(); ++i) {
    const std::string caption = FShowFullPath ? FFiles[i] : ExtractFileName(FFiles[i]);
    auto* item = new TMRUMenuItem(MenuText(ToQString(caption)), this);
    item->setData(static_cast<int>(i));
    connect(item, &QAction::triggered, this, [this, item] { ItemClick(item); });
    FParentMenuItem->addAction(item);
  }
  // An empty submenu is not offered.
  FParentMenuItem->menuAction()->setEnabled(!FParentMenuItem->actions().isEmpty());
}

void TadpMRU::RemoveMenuItems() {
  if (!FParentMenuItem) return;
  const QList<QAction*> actions = FParentMenuItem->actions();
  for (auto it = actions.rbegin(); it != actions.rend(); ++it)
    if (auto* item = qobject_cast<TMRUMenuItem*>(*it)) {
      FParentMenuItem->removeAction(item);
      // An entry may be removed from inside its own click.
      item->deleteLater();
    }
}

void TadpMRU::ItemClick(QObject* Sender) {
  auto* item = qobject_cast<TMRUMenuItem*>(Sender);
  if (!OnClick || !item) return;
  const int index = item->data().toInt();
  if (index < 0 || index >= static_cast<int>(FFiles.size())) return;
  const std::string fileName = FFiles[static_cast<size_t>(index)];
  OnClick(this, fileName);
}

} // namespace qel
