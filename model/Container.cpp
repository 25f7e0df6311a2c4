#include "Container.h"

#include "DataLines.h"
#include "PartRead.h"
#include "platform/Errors.h"
#include "platform/FileNames.h"

#include <array>
#include <cerrno>
#include <filesystem>
#include <future>
#include <system_error>

namespace qel {
namespace {

// Smaller files are read on the calling thread: starting threads would cost more.
constexpr size_t kReadInPartsFrom = 256 * 1024;

} // namespace

TContainer::TContainer() : Directory(IncludeTrailingPathDelimiter(GetCurrentDir())) {
  AttachTreePool = std::make_unique<TAttachTreePool>();
  NoteTreePool = std::make_unique<TNoteTreePool>();
  SheetTreePool = std::make_unique<TSheetTreePool>();
  PosTreePool = std::make_unique<TPosTreePool>();
  AttachPool = std::make_unique<TAttachPool>();
  NotePool = std::make_unique<TNotePool>();
  PosPool = std::make_unique<TPosPool>();
  LinkPool = std::make_unique<TLinkPool>();
  SheetPool = std::make_unique<TSheetPool>();
  RelationPool = std::make_unique<TRelationPool>();

  AttachTreePool->SetPool(AttachPool.get());
  NoteTreePool->SetPool(NotePool.get());
  SheetTreePool->SetPool(SheetPool.get());
  PosTreePool->SetPool(PosPool.get());
  AttachPool->SetPools(NotePool.get(), AttachTreePool.get());
  NotePool->SetPools(AttachPool.get(), PosPool.get(), LinkPool.get(), SheetPool.get(), NoteTreePool.get());
  PosPool->SetPools(SheetPool.get(), NotePool.get(), PosTreePool.get());
  LinkPool->SetPools(SheetPool.get(), NotePool.get(), RelationPool.get());
  SheetPool->SetPools(PosPool.get(), LinkPool.get(), SheetTreePool.get());
  RelationPool->SetPools(LinkPool.get());
}

TContainer::~TContainer() {
  AttachTreePool.reset();
  NoteTreePool.reset();
  SheetTreePool.reset();
  PosTreePool.reset();
  AttachPool.reset();
  NotePool.reset();
  PosPool.reset();
  LinkPool.reset();
  SheetPool.reset();
  RelationPool.reset();
}

std::string TContainer::BaseName(const std::string& fileName) {
  std::string name = ExtractFileName(fileName);
  return name.substr(0, name.find('.'));
}

std::string TContainer::DataFileName(const std::string& projectFile, std::string_view suffix) {
  return ExtractFilePath(projectFile) + BaseName(projectFile) + std::string(suffix) + ".dat";
}

std::array<std::string, 6> TContainer::DataFileNames(const std::string& projectFile) {
  std::array<std::string, 6> names;
  size_t i = 0;
  for (std::string_view suffix : {"_Sht", "_Not", "_Rel", "_Pos", "_Att", "_Lnk"})
    names[i++] = DataFileName(projectFile, suffix);
  return names;
}

void TContainer::ReadDataFiles(const std::string& projectFile, const TImportOffsets* import) {
  if (ProgressBar) {
    ProgressBar->SetRange(0, 6);
    ProgressBar->SetPosition(0);
  }
  const std::array<std::pair<TPool*, std::string_view>, 6> order = {{{SheetPool.get(), "_Sht"},
                                                                      {NotePool.get(), "_Not"},
                                                                      {RelationPool.get(), "_Rel"},
                                                                      {PosPool.get(), "_Pos"},
                                                                      {AttachPool.get(), "_Att"},
                                                                      {LinkPool.get(), "_Lnk"}}};
  FailedFile.clear();
  FailedLine = 0;
  // A plain load reads the big files in parts on worker threads: the notes first, then the
  // positions, attachments and links together (they refer to notes, sheets and relation
  // types). Every file's items are taken in the order above, and the first failure in that
  // order is the one reported, as when reading one file after the other.
  const bool inParts = !import && !AddOnLoad;
  struct TFile {
    std::string Name;
    std::unique_ptr<TFileBytes> Bytes;
    std::exception_ptr OpenError;
    std::unique_ptr<TPartRead> Parts;
  };
  int step = 0;
  for (size_t first = 0; first < order.size();) {
    const size_t last = inParts && order[first].first == PosPool.get() ? order.size() : first + 1;
    std::vector<TFile> files(last - first);
    std::vector<TPartRead*> partReads;
    for (size_t i = first; i < last; ++i) {
      TFile& file = files[i - first];
      file.Name = DataFileName(projectFile, order[i].second);
      try {
        file.Bytes = std::make_unique<TFileBytes>(FindFileNoCase(file.Name));
      } catch (...) {
        file.OpenError = std::current_exception();
        break; // reported when its turn comes; the files after it are not needed
      }
      if (inParts && file.Bytes->View().size() >= kReadInPartsFrom && order[i].first->ReadsInParts()) {
        order[i].first->PrepareReadInParts();
        partReads.push_back((file.Parts = std::make_unique<TPartRead>(order[i].first, file.Bytes->View())).get());
      }
    }
    TPartRead::ReadAll(partReads);
    // In file order: a file read line by line is read now; the items read in parts are taken
    // at the end of the group, or at the first failure, with everything read before it.
    std::vector<TPartRead*> toTake;
    auto takeParts = [&toTake] {
      TPartRead::TakeAll(toTake);
      toTake.clear();
    };
    for (size_t i = first; i < last; ++i) {
      TFile& file = files[i - first];
      if (file.Parts && !file.Parts->OneRecordALine()) file.Parts.reset();
      TLineReader::ClearFailedLine();
      try {
        if (file.OpenError) std::rethrow_exception(file.OpenError);
        if (!file.Parts) {
          order[i].first->LoadFileBytes(file.Bytes->View(), import);
        } else {
          toTake.push_back(file.Parts.get());
          if (file.Parts->Failed()) {
            takeParts();
            file.Parts->RaiseError();
          }
        }
      } catch (...) {
        FailedFile = FindFileNoCase(file.Name);
        FailedLine = file.Parts ? file.Parts->FailedLine() : TLineReader::FailedLine();
        takeParts();
        throw;
      }
    }
    takeParts();
    for (size_t i = first; i < last; ++i)
      if (ProgressBar) ProgressBar->SetPosition(++step);
    first = last;
  }
}

void TContainer::Load(const std::string& projectFile) {
  Directory = ExtractFilePath(projectFile);
  ReadDataFiles(projectFile, nullptr);
  SetModified(false);
}

TImportOffsets TContainer::ImportOffsets() const {
  TImportOffsets o;
  o.Note = NotePool->AllCount();
  o.Sheet = SheetPool->AllCount();
  o.Attachment = AttachPool->AllCount();
  o.Relation = RelationPool->AllCount();
  o.Position = PosPool->AllCount();
  o.Link = LinkPool->AllCount();
  return o;
}

void TContainer::Import(const std::string& projectFile, const TImportOffsets& offsets) {
  const TImportOffsets before = ImportOffsets();
  try {
    ReadDataFiles(projectFile, &offsets);
  } catch (...) {
    RemoveImported(before);
    throw;
  }
}

// Deletes what a failed import added, newest kinds first, and restores the pools' flags.
void TContainer::RemoveImported(const TImportOffsets& counts) {
  const std::array<std::pair<TPool*, int32_t>, 6> pools = {{{LinkPool.get(), counts.Link},
                                                            {AttachPool.get(), counts.Attachment},
                                                            {PosPool.get(), counts.Position},
                                                            {RelationPool.get(), counts.Relation},
                                                            {NotePool.get(), counts.Note},
                                                            {SheetPool.get(), counts.Sheet}}};
  std::array<bool, 6> flags{};
  for (size_t i = 0; i < pools.size(); ++i) flags[i] = pools[i].first->Modified;
  for (auto [pool, count] : pools)
    while (pool->AllCount() > count) pool->GetAllItem(pool->AllCount() - 1)->Delete();
  for (size_t i = 0; i < pools.size(); ++i) pools[i].first->Modified = flags[i];
}

void TContainer::Save(const std::string& projectFile) {
  std::string path = ExtractFilePath(projectFile);
  Directory = path;
  // An empty folder part is the current folder.
  if (!path.empty() && !SetCurrentDir(path) && !CreateDir(path) && Host)
    Host->ShowErrorBox("Error Creating Directory");
  SaveDataFiles(projectFile);
  SetModified(false);
}

// All six files or none: each is written to a temporary file flushed to disk; only then are
// they renamed into place, the old files kept under a second name until all six are in, so a
// failure part-way puts the old ones back.
void TContainer::SaveDataFiles(const std::string& projectFile) const {
  const std::array<std::pair<TPool*, std::string_view>, 6> order = {{{AttachPool.get(), "_Att"},
                                                                      {NotePool.get(), "_Not"},
                                                                      {PosPool.get(), "_Pos"},
                                                                      {LinkPool.get(), "_Lnk"},
                                                                      {SheetPool.get(), "_Sht"},
                                                                      {RelationPool.get(), "_Rel"}}};
  struct TReplace {
    std::string Target, Temp, Old;
    bool HadOld = false; // the old file is kept as Old
    bool Placed = false; // Temp is now Target
  };
  std::vector<TReplace> files;
  files.reserve(order.size());
  const std::string folder = ExtractFilePath(projectFile);
  // The six files' bytes are made on their own threads while the main thread writes and syncs
  // them in order. The pools are only read there: their lists close their holes first, here,
  // so that no look-up changes them. A failure waits for every thread before rolling back.
  for (TPoolItemList* pool : DataPools()) pool->AllItems();
  try {
    std::array<std::future<std::string>, order.size()> bytes;
    for (size_t i = 0; i < order.size(); ++i)
      bytes[i] = std::async(std::launch::async, [pool = order[i].first] { return pool->SaveBytes(); });
    for (size_t i = 0; i < order.size(); ++i) {
      const std::string target = FindFileNoCase(DataFileName(projectFile, order[i].second));
      files.push_back({target, target + ".saving", target + ".replaced"});
      WriteFileBytes(files.back().Temp, bytes[i].get());
    }
    for (TReplace& file : files) {
      if (FileExists(file.Target)) {
        DeleteFile(file.Old);
        if (!KeepUnderName(file.Target, file.Old)) RaiseInOutError(errno);
        file.HadOld = true;
      }
      RenameFile(file.Temp, file.Target);
      file.Placed = true;
    }
  } catch (...) {
    for (auto it = files.rbegin(); it != files.rend(); ++it) {
      if (it->HadOld) {
        std::error_code ignored;
        std::filesystem::rename(ToNativePath(it->Old), ToNativePath(it->Target), ignored);
        DeleteFile(it->Old); // still there when both names were links to the old file
      } else if (it->Placed) {
        DeleteFile(it->Target);
      }
      DeleteFile(it->Temp);
    }
    SyncFolder(folder);
    throw;
  }
  for (const TReplace& file : files)
    if (file.HadOld) DeleteFile(file.Old);
  SyncFolder(folder);
}

std::array<TPoolItemList*, 6> TContainer::DataPools() const {
  return {AttachPool.get(), NotePool.get(), PosPool.get(), LinkPool.get(), SheetPool.get(), RelationPool.get()};
}

bool TContainer::IsModified() const {
  for (TPoolItemList* pool : DataPools())
    if (pool->IsModified()) return true;
  return false;
}

void TContainer::SetModified(bool value) {
  // Each item has its flag: big pools walk theirs on threads of their own.
  constexpr int kWalkApartFrom = 20000;
  std::vector<std::future<void>> walks;
  for (TPoolItemList* pool : DataPools()) {
    if (pool->AllCount() >= kWalkApartFrom) {
      try {
        walks.push_back(std::async(std::launch::async, [pool, value] { pool->SetModified(value); }));
        continue;
      } catch (const std::system_error&) {
        // no thread: walked here
      }
    }
    pool->SetModified(value);
  }
  for (std::future<void>& walk : walks) walk.get();
}

void TContainer::ClearFilters() {
  for (TPoolItemList* pool : DataPools()) pool->Filtered = false;
}

void TContainer::ResetViews() {
  for (TPoolItemList* pool : DataPools()) pool->ResetView();
}

void TContainer::ClearTreeNodes() {
  AttachTreePool->ClearNodes();
  NoteTreePool->ClearNodes();
  SheetTreePool->ClearNodes();
  PosTreePool->ClearNodes();
}

TLinkItem* TContainer::FindLinkByIndex(int index) const {
  TLinkItem* found = nullptr;
  for (int i = 0; i < LinkCount(); ++i)
    if (GetLink(i)->LoadIndex == index) found = GetLink(i);
  return found;
}

} // namespace qel
