// Reads arbitrary bytes as the save journal of a project whose folder holds its six data files
// and a temporary of each, and lets the journal put the folder right. Whatever the bytes say,
// nothing but those thirteen names may change, nothing may appear, and each data file must end
// as it was or as its temporary.
#include "model/Container.h"
#include "model/SaveJournal.h"
#include "platform/Errors.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <unistd.h>

using namespace qel;
namespace fs = std::filesystem;

namespace {

std::string Bytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void Put(const fs::path& file, const std::string& bytes) { std::ofstream(file, std::ios::binary) << bytes; }

// The folder of the runs, removed when the process ends.
struct TRoot {
  fs::path Path = fs::temp_directory_path() / ("qel-fuzz-journal-" + std::to_string(::getpid()));
  ~TRoot() {
    std::error_code error;
    fs::remove_all(Path, error);
  }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const TRoot run;
  const fs::path& root = run.Path;
  const fs::path folder = root / "p";
  fs::remove_all(root);
  fs::create_directories(folder);
  Put(root / "outside", "outside");
  std::map<std::string, std::string> before;
  for (std::string_view suffix : TContainer::DataSuffixes) {
    const std::string name = "p" + std::string(suffix) + ".dat";
    Put(folder / name, "old" + std::string(suffix));
    Put(folder / (name + ".saving"), "new" + std::string(suffix));
  }
  Put(folder / "p_Save.journal", std::string(reinterpret_cast<const char*>(data), size));
  try {
    TSaveJournal(folder.string() + "/p.qel").Recover();
  } catch (const Exception&) {
  }
  if (Bytes(root / "outside") != "outside") std::abort();
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name == "p_Save.journal") continue;
    const bool temp = name.size() > 7 && name.substr(name.size() - 7) == ".saving";
    const std::string suffix = name.substr(1, 4);
    if (name.substr(0, 1) != "p" || name.substr(5, 4) != ".dat" || name.size() != (temp ? 16u : 9u)) std::abort();
    const std::string bytes = Bytes(entry.path());
    if (bytes != "old" + suffix && bytes != "new" + suffix) std::abort();
    if (temp && bytes != "new" + suffix) std::abort();
  }
  if (std::distance(fs::directory_iterator(root), fs::directory_iterator()) != 2) std::abort();
  return 0;
}
