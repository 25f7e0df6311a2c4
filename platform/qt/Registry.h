#pragma once
// The settings store: string values under keys of the current user, kept by
// QSettings("Brask", "QEL") in INI form. The key "Software\Brask\QEL" is the store's top level;
// a deeper key is a group below it. Names and values are Windows-1252 strings.
#include <memory>
#include <string>
#include <vector>

class QSettings;

namespace qel {

class TRegistry {
public:
  TRegistry();
  ~TRegistry();
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  // Opens a key such as "Software\Brask\QEL" (a leading "\" is ignored). Without CanCreate a
  // key that holds no value yet cannot be opened. Keys outside the program's own are refused.
  bool OpenKey(const std::string& Key, bool CanCreate);
  // Writes what was changed to disk.
  void CloseKey();
  bool KeyExists(const std::string& Key) const;

  bool ValueExists(const std::string& Name) const;
  // Empty text when the value is missing.
  std::string ReadString(const std::string& Name) const;
  void WriteString(const std::string& Name, const std::string& Value);
  bool DeleteValue(const std::string& Name);
  // The names of the open key's values.
  std::vector<std::string> GetValueNames() const;

  // Keeps the store in Folder from now on (tests use a temporary folder).
  static void SetStorageFolder(const std::string& Folder);

private:
  std::unique_ptr<QSettings> FSettings;
  std::string FGroup; // "" for the program's own key
};

// The program's key.
inline constexpr const char* kQelKey = "Software\\Brask\\QEL";

} // namespace qel
