// Reads arbitrary bytes as the six data files of a project (plain load or import, with or
// without adding as new items). The first byte picks the mode; the rest is split at 0x00 into
// the sheet, note, relation-type, position, attachment and link files, and with mode bit 8 an
// export's sheets index after them. A project that reads without error must save, read back
// and save to the same bytes.
#include "model/Container.h"
#include "platform/Errors.h"

#include <array>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

using namespace qel;

namespace {

std::array<TPool*, 6> ReadOrder(TContainer& c) {
  return {c.SheetPool.get(), c.NotePool.get(), c.RelationPool.get(), c.PosPool.get(), c.AttachPool.get(),
          c.LinkPool.get()};
}

std::vector<std::string> SaveAll(TContainer& c) {
  std::vector<std::string> files;
  for (TPool* pool : ReadOrder(c)) files.push_back(pool->SaveBytes());
  return files;
}

void LoadAll(TContainer& c, const std::vector<std::string_view>& files, const TImportOffsets* import) {
  auto pools = ReadOrder(c);
  for (size_t i = 0; i < pools.size(); ++i) pools[i]->LoadBytes(i < files.size() ? files[i] : std::string_view(), import);
}

// A few items of the project's own for imports to land behind.
void AddOwnItems(TContainer& c) {
  TSheetItem* s = c.AddSheet(TSheet{});
  TNote n;
  TNoteItem* note = c.AddNote(n);
  TRelationItem* r = c.AddRelation(TRelation{});
  c.PlaceNote(note, s, 1, 1);
  c.NewLink(note, note, r, s);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t mode = data[0];
  std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  std::vector<std::string_view> files;
  const size_t parts = (mode & 8) ? 7 : 6;
  while (files.size() + 1 < parts) {
    size_t cut = rest.find('\0');
    if (cut == std::string_view::npos) break;
    files.push_back(rest.substr(0, cut));
    rest.remove_prefix(cut + 1);
  }
  files.push_back(rest);

  AddOnLoad = (mode & 2) != 0;
  TContainer c;
  if (files.size() == 7) {
    c.SheetPool->SetKeys(TSheetPool::ReadKeyIndex(files.back()));
    files.pop_back();
  }
  const bool import = (mode & 1) != 0;
  if (import) AddOwnItems(c);
  const TImportOffsets offsets = c.ImportOffsets();
  try {
    LoadAll(c, files, import ? &offsets : nullptr);
  } catch (const Exception&) {
    AddOnLoad = false;
    return 0;
  }
  AddOnLoad = false;
  if (mode & 4) c.SyncAggregationNotes();

  std::vector<std::string> first = SaveAll(c);
  TContainer again;
  std::vector<std::string_view> views(first.begin(), first.end());
  LoadAll(again, views, nullptr); // must not raise
  if (SaveAll(again) != first) std::abort();
  return 0;
}
