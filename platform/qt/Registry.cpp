#include "Registry.h"

#include "QtConvert.h"
#include "platform/Ansi.h"

#include <QSettings>
#include <optional>

namespace qel {
namespace {

// The QSettings group of a key, or nothing for a key outside the program's own.
std::optional<std::string> GroupOf(std::string key) {
  while (!key.empty() && key.front() == '\\') key.erase(0, 1);
  while (!key.empty() && key.back() == '\\') key.pop_back();
  const std::string root = kQelKey;
  if (AnsiLowerCase(key.substr(0, root.size())) != AnsiLowerCase(root)) return std::nullopt;
  if (key.size() == root.size()) return std::string();
  if (key[root.size()] != '\\') return std::nullopt;
  std::string group = key.substr(root.size() + 1);
  for (char& c : group)
    if (c == '\\') c = '/';
  return group;
}

std::unique_ptr<QSettings> OpenStore() {
  return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, "Brask", "QEL");
}

} // namespace

TRegistry::TRegistry() = default;

TRegistry::~TRegistry() { CloseKey(); }

bool TRegistry::KeyExists(const std::string& Key) const {
  auto group = GroupOf(Key);
  if (!group) return false;
  auto store = OpenStore();
  if (group->empty()) return !store->allKeys().isEmpty();
  const QString prefix = ToQString(*group) + "/";
  for (const QString& key : store->allKeys())
    if (key.startsWith(prefix)) return true;
  return false;
}

bool TRegistry::OpenKey(const std::string& Key, bool CanCreate) {
  CloseKey();
  auto group = GroupOf(Key);
  if (!group || (!CanCreate && !KeyExists(Key))) return false;
  FSettings = OpenStore();
  FGroup = *group;
  if (!FGroup.empty()) FSettings->beginGroup(ToQString(FGroup));
  return true;
}

void TRegistry::CloseKey() {
  if (!FSettings) return;
  FSettings->sync();
  FSettings.reset();
}

bool TRegistry::ValueExists(const std::string& Name) const {
  return FSettings && FSettings->childKeys().contains(ToQString(Name));
}

std::string TRegistry::ReadString(const std::string& Name) const {
  if (!FSettings) return {};
  return FromQString(FSettings->value(ToQString(Name)).toString());
}

void TRegistry::WriteString(const std::string& Name, const std::string& Value) {
  if (FSettings) FSettings->setValue(ToQString(Name), ToQString(Value));
}

bool TRegistry::DeleteValue(const std::string& Name) {
  if (!ValueExists(Name)) return false;
  FSettings->remove(ToQString(Name));
  return true;
}

std::vector<std::string> TRegistry::GetValueNames() const {
  std::vector<std::string> names;
  if (FSettings)
    for (const QString& key : FSettings->childKeys()) names.push_back(FromQString(key));
  return names;
}

void TRegistry::SetStorageFolder(const std::string& Folder) {
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, ToQString(Folder));
}

} // namespace qel
