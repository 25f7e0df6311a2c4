#pragma once
// A small INI file reader and writer. Section and key names match without regard to letter
// case; a write changes only the line of its key (or adds the key or section) and keeps every
// other byte of the file as it was. New lines end in CR LF.
#include <string>

namespace qel {

class TIniFile {
public:
  explicit TIniFile(std::string fileName);

  const std::string& FileName() const { return FFileName; }
  // The value of Ident in Section (blanks around it removed), or Default when the file,
  // the section or the key is missing. Raises EInOutError when the file cannot be read.
  std::string ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) const;
  // Sets Ident in Section, creating the file, the section or the key as needed.
  // Raises EInOutError when the file cannot be written.
  void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value);

private:
  std::string FFileName;
};

} // namespace qel
