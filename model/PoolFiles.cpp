// The readers and writers of the six data files.
#include "DataLines.h"
#include "KeptThreads.h"
#include "Pools.h"
#include "platform/Errors.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <future>
#include <span>
#include <vector>

namespace qel {
namespace {

// A reference read by an import names one of the items this import added to the target
// pool: anything else (also -1) is the list error, never one of the project's own items.
int32_t ImportRef(int32_t raw, int32_t offset, const TPoolItemList& target) {
  if (raw < 0 || static_cast<long long>(raw) + offset >= target.AllCount()) RaiseListError(raw);
  return raw + offset;
}

int32_t Ref(int32_t raw, const TImportOffsets* import, int32_t TImportOffsets::*offset,
            const TPoolItemList& target) {
  return import ? ImportRef(raw, import->*offset, target) : raw;
}

int32_t Id(int32_t raw, const TImportOffsets* import, int32_t TImportOffsets::*offset) {
  return import ? static_cast<int32_t>(static_cast<uint32_t>(raw) + static_cast<uint32_t>(import->*offset)) : raw;
}

// Fields 1 to 8 of a sheet line, the same in both formats.
TSheet CutSheetHead(std::string_view& line, const TImportOffsets* import) {
  TSheet r;
  r.ID = Id(CutInt(line), import, &TImportOffsets::Sheet);
  r.Name.assign(CutField(line));
  r.Color = CutInt(line);
  r.Width = CutInt(line);
  r.Height = CutInt(line);
  r.Zoom = CutInt(line);
  r.GridSize = CutInt(line);
  r.Extra = CutInt(line);
  r.Description.clear();
  return r;
}

// Fields 1 to 12 of a note line, the same in both formats.
TNote CutNoteHead(std::string_view& line, const TImportOffsets* import) {
  TNote r;
  r.ID = Id(CutInt(line), import, &TImportOffsets::Note);
  r.Name.assign(CutField(line));
  r.ImageFile.assign(CutField(line));
  r.LogoFile.assign(CutField(line));
  r.Kind = CutInt(line);
  r.Width = CutInt(line);
  r.Height = CutInt(line);
  r.Color = CutInt(line);
  r.Extra1 = CutInt(line);
  r.LogoPos = CutInt(line);
  r.ExtraFlag = ToByte(CutField(line));
  r.Extra2 = CutInt(line);
  return r;
}

int32_t NoteSheetIndex(std::string_view field, const TImportOffsets* import, const TSheetPool& sheets) {
  int32_t index = ToInt(field);
  if (import && index != -1) index = ImportRef(index, import->Sheet, sheets);
  return index;
}

bool EndsWithBreak(std::string_view line) { return !line.empty() && line.back() == TextBreak; }

// A text of the older formats: lines ending in 0xFE continue on the next line. Starts with
// the rest of the record's first line; leaves the rest of its last line.
std::string ReadOldText(TLineReader& reader, std::string_view& rest) {
  std::string text;
  while (EndsWithBreak(rest)) {
    text.append(rest.substr(0, rest.size() - 1));
    text += "\r\n";
    rest = reader.ReadLine();
  }
  return text;
}

// Room for the records of a writer: a guess per item plus the texts' lengths, so the
// output grows once or not at all.
template <class TItem, class TItems, class TText>
void ReserveRecords(std::string& out, const TItems& items, size_t perItem, TText text) {
  size_t total = items.size() * perItem;
  for (TPoolItem* item : items) total += text(static_cast<const TItem*>(item)->Data);
  out.reserve(out.size() + total);
}

} // namespace

// ---- sheets

void TSheetPool::LoadBytes(std::string_view bytes, const TImportOffsets* import) {
  TLineReader reader(bytes);
  if (reader.ReadLine() == Marker)
    LoadNew(bytes, import);
  else
    LoadOld(bytes, import);
}

// Lines "i, key" (fields ended by 0xFF) for i = 0, 1, 2, ...; empty when the bytes are not that.
std::vector<int32_t> TSheetPool::ReadKeyIndex(std::string_view bytes) {
  std::vector<int32_t> keys;
  TLineReader reader(bytes);
  while (!reader.Eof()) {
    std::string_view line = reader.ReadLine();
    int32_t place = -1, key = -1;
    const std::string_view first = CutField(line), second = CutField(line);
    if (std::from_chars(first.data(), first.data() + first.size(), place).ptr != first.data() + first.size() ||
        std::from_chars(second.data(), second.data() + second.size(), key).ptr != second.data() + second.size() ||
        first.empty() || second.empty() || !line.empty() || place != int32_t(keys.size()))
      return {};
    keys.push_back(key);
  }
  return keys;
}

void TSheetPool::LoadNew(std::string_view bytes, const TImportOffsets* import) {
  TLineReader reader(bytes);
  reader.ReadLine(); // the marker
  // The keys hold from the first record that is not at its place, when those before it
  // agree with them as well.
  size_t keysFrom = 0;
  while (keysFrom < FKeys.size() && FKeys[keysFrom] == int32_t(keysFrom)) ++keysFrom;
  bool keyed = false;
  size_t place = 0;
  for (; !reader.Eof(); ++place) {
    std::string_view line = reader.ReadLine();
    TSheet r = CutSheetHead(line, import);
    const int32_t atPlace = Id(int32_t(place), import, &TImportOffsets::Sheet);
    const int32_t key = place < FKeys.size() ? Id(FKeys[place], import, &TImportOffsets::Sheet) : atPlace;
    keyed = keyed || (r.ID != atPlace && place <= keysFrom && r.ID == key);
    if (!keyed)
      CheckPlace(r.ID, atPlace);
    else if (r.ID != key || place >= FKeys.size())
      throw Exception("The file is damaged: record " + std::to_string(place) + " has the identifier " +
                      std::to_string(r.ID) + ", its export's sheets index another (a line doubled, lost or moved)");
    r.Description = DecodeTextView(line);
    TakeRecord(r);
  }
  if (keyed && place != FKeys.size())
    throw Exception("The file is damaged: it holds " + std::to_string(place) + " sheets, its export's sheets index " +
                    std::to_string(FKeys.size()) + " (a line lost)");
}

void TSheetPool::LoadOld(std::string_view bytes, const TImportOffsets* import) {
  TLineReader reader(bytes);
  for (int32_t previous = INT32_MIN; !reader.Eof();) {
    std::string_view line = reader.ReadLine();
    TSheet r = CutSheetHead(line, import);
    CheckRising(r.ID, previous);
    previous = r.ID;
    r.Description = ReadOldText(reader, line);
    r.Description.append(line);
    r.Description += "\r\n";
    TakeRecord(r);
  }
}

std::string TSheetPool::SaveBytes() const {
  std::string out(Marker);
  out += "\r\n";
  TRecordWriter w(out);
  int id = 0;
  for (TPoolItem* item : AllItems()) {
    const TSheet& d = static_cast<TSheetItem*>(item)->Data;
    w.Int(id++).Plain(d.Name).Int(d.Color).Int(d.Width).Int(d.Height).Int(d.Zoom).Int(d.GridSize).Int(d.Extra);
    w.Coded(d.Description).EndLine();
  }
  return out;
}

// ---- notes

// Whether a line, as TLineReader gives it (CRs dropped), ends in 0xFE: only the breaks are
// visited, not every line.
static bool HasContinuedLine(std::string_view bytes) {
  bytes = bytes.substr(0, bytes.find(EndOfFile));
  for (size_t p = bytes.find(TextBreak); p != std::string_view::npos; p = bytes.find(TextBreak, p + 1)) {
    size_t q = p + 1;
    while (q < bytes.size() && bytes[q] == '\r') ++q;
    if (q == bytes.size() || bytes[q] == '\n') return true;
  }
  return false;
}

void TNotePool::LoadBytes(std::string_view bytes, const TImportOffsets* import) {
  // The older format shows itself by a line that ends in 0xFE (a body over several lines).
  if (HasContinuedLine(bytes))
    LoadOld(bytes, import);
  else
    LoadNew(bytes, import);
}

bool TNotePool::IsOneRecordALine(std::string_view bytes) const { return !HasContinuedLine(bytes); }

TNote TNotePool::ReadNewRecord(std::string_view line, const TImportOffsets* import) const {
  TNote r = CutNoteHead(line, import);
  r.Text = DecodeTextView(CutField(line));
  r.SheetIndex = NoteSheetIndex(line, import, *SheetPool);
  return r;
}

void TNotePool::LoadNew(std::string_view bytes, const TImportOffsets* import) {
  TLineReader reader(bytes);
  for (int32_t place = 0; !reader.Eof(); ++place) {
    TNote r = ReadNewRecord(reader.ReadLine(), import);
    CheckPlace(r.ID, Id(place, import, &TImportOffsets::Note));
    TakeRecord(r);
  }
}

// The reference to the sheet an aggregation note stands for watches the sheet's life token:
// made here, several threads only share it.
void TNotePool::PrepareReadInParts() {
  for (TPoolItem* sheet : SheetPool->AllItems()) sheet->LifeToken();
}

TPoolItem* TNotePool::ReadLineItem(std::string_view line) {
  TNote r = ReadNewRecord(line, nullptr);
  ResolveReferences(r);
  return new TNoteItem(this, std::move(r));
}

void TNotePool::LoadOld(std::string_view bytes, const TImportOffsets* import) {
  TLineReader reader(bytes);
  for (int32_t previous = INT32_MIN; !reader.Eof();) {
    std::string_view line = reader.ReadLine();
    TNote r = CutNoteHead(line, import);
    CheckRising(r.ID, previous);
    previous = r.ID;
    r.Text = ReadOldText(reader, line);
    r.Text.append(CutField(line));
    r.SheetIndex = NoteSheetIndex(line, import, *SheetPool);
    TakeRecord(r);
  }
}

std::string TNotePool::SaveBytes() const {
  // Only read here and on the parts' threads (the save compacted the lists before).
  std::vector<TPoolItem*> items;
  items.reserve(static_cast<size_t>(AllCount()));
  for (TPoolItem* item : AllItems()) items.push_back(item);
  auto part = [this, &items](size_t begin, size_t end) {
    std::span<TPoolItem* const> notes(items.data() + begin, end - begin);
    std::string out;
    ReserveRecords<TNoteItem>(out, notes, 64, [](const TNote& d) {
      return d.Name.size() + d.ImageFile.size() + d.LogoFile.size() + d.Text.size();
    });
    TRecordWriter w(out);
    int id = static_cast<int>(begin);
    for (TPoolItem* item : notes) {
      const auto* note = static_cast<TNoteItem*>(item);
      const TNote& d = note->Data;
      TSheetItem* sheet = note->GetAggregatedSheet();
      w.Int(id++).Plain(d.Name).Plain(d.ImageFile).Plain(d.LogoFile).Int(d.Kind).Int(d.Width).Int(d.Height);
      w.Int(d.Color).Int(d.Extra1).Int(d.LogoPos).Int(d.ExtraFlag).Int(d.Extra2).Coded(d.Text);
      w.Int(sheet ? SheetPool->IndexOf(sheet) : -1).EndLine();
    }
    return out;
  };
  // The notes hold most of a project's bytes: many of them are written in parts on their own
  // threads, joined in order.
  constexpr size_t kNotesPerPart = 25000;
  const size_t parts = std::clamp<size_t>(items.size() / kNotesPerPart, 1, 4);
  if (parts == 1) return part(0, items.size());
  // Each part after the first on a thread of its own, the same one at every save.
  std::vector<std::future<std::string>> later;
  const TWaitForAll<decltype(later)> waitForParts{later};
  for (size_t k = 1; k < parts; ++k)
    later.push_back(RunOnKeptThread(kNotePartSlots + k - 1, [&part, &items, k, parts] {
      return part(items.size() * k / parts, items.size() * (k + 1) / parts);
    }));
  std::string out = part(0, items.size() / parts);
  std::vector<std::string> rest;
  size_t total = out.size();
  for (auto& bytes : later) total += rest.emplace_back(bytes.get()).size();
  out.reserve(total);
  for (const std::string& bytes : rest) out += bytes;
  return out;
}

// ---- relation types

void TRelationPool::LoadBytes(std::string_view bytes, const TImportOffsets* import) {
  TLineReader reader(bytes);
  ImportedAt.clear();
  for (int32_t place = 0; !reader.Eof(); ++place) {
    std::string_view line = reader.ReadLine();
    TRelation r;
    r.ID = Id(CutInt(line), import, &TImportOffsets::Relation);
    CheckPlace(r.ID, Id(place, import, &TImportOffsets::Relation));
    r.Name.assign(CutField(line));
    r.Extra = ToInt(line);
    if (import) {
      int32_t same = 0;
      while (same < AllCount() && static_cast<const TRelationItem*>(GetAllItem(same))->Data.Name != r.Name) ++same;
      if (same < AllCount()) {
        ImportedAt.push_back(same);
        continue;
      }
      ImportedAt.push_back(AllCount());
    }
    TakeRecord(r);
  }
}

int32_t TRelationPool::ImportedIndex(int32_t raw) const {
  if (raw < 0 || static_cast<size_t>(raw) >= ImportedAt.size()) RaiseListError(raw);
  return ImportedAt[static_cast<size_t>(raw)];
}

std::string TRelationPool::SaveBytes() const {
  std::string out;
  TRecordWriter w(out);
  int id = 0;
  for (TPoolItem* item : AllItems()) {
    const TRelation& d = static_cast<TRelationItem*>(item)->Data;
    w.Int(id++).Plain(d.Name).Int(d.Extra).EndLine();
  }
  return out;
}

// ---- positions

TPos TPosPool::ReadRecord(std::string_view line, const TImportOffsets* import) const {
  TPos r;
  r.ID = Id(CutInt(line), import, &TImportOffsets::Position);
  r.NoteIndex = Ref(CutInt(line), import, &TImportOffsets::Note, *NotePool);
  r.SheetIndex = Ref(CutInt(line), import, &TImportOffsets::Sheet, *SheetPool);
  r.X = CutInt(line);
  r.Y = ToInt(line);
  return r;
}

void TPosPool::LoadBytes(std::string_view bytes, const TImportOffsets* import) {
  TLineReader reader(bytes);
  for (int32_t place = 0; !reader.Eof(); ++place) {
    TPos r = ReadRecord(reader.ReadLine(), import);
    CheckPlace(r.ID, Id(place, import, &TImportOffsets::Position));
    TakeRecord(r);
  }
}

TPoolItem* TPosPool::ReadLineItem(std::string_view line) {
  TPos r = ReadRecord(line, nullptr);
  ResolveReferences(r);
  return new TPosItem(this, r, TLinkLater{});
}

int TPosPool::ListsToEnter(const TPoolItem* item, TListsToEnter& lists) const {
  const auto own = static_cast<const TPosItem*>(item)->Lists();
  std::copy(own.begin(), own.end(), lists.begin());
  return int(own.size());
}

std::string TPosPool::SaveBytes() const {
  std::string out;
  ReserveRecords<TPosItem>(out, AllItems(), 40, [](const TPos&) { return size_t(0); });
  TRecordWriter w(out);
  int id = 0;
  for (TPoolItem* item : AllItems()) {
    const auto* pos = static_cast<TPosItem*>(item);
    w.Int(id++).Int(NotePool->IndexOf(pos->GetNote())).Int(SheetPool->IndexOf(pos->GetSheet()));
    w.Int(pos->Data.X).Int(pos->Data.Y).EndLine();
  }
  return out;
}

// ---- attachments

TAttachment TAttachPool::ReadRecord(std::string_view line, const TImportOffsets* import) const {
  TAttachment r;
  r.ID = Id(CutInt(line), import, &TImportOffsets::Attachment);
  r.NoteIndex = Ref(CutInt(line), import, &TImportOffsets::Note, *NotePool);
  r.Caption.assign(CutField(line));
  r.Location.assign(CutField(line));
  r.Text = DecodeTextView(CutField(line));
  r.Kind = ToByte(line);
  return r;
}

void TAttachPool::LoadBytes(std::string_view bytes, const TImportOffsets* import) {
  TLineReader reader(bytes);
  for (int32_t place = 0; !reader.Eof(); ++place) {
    TAttachment r = ReadRecord(reader.ReadLine(), import);
    CheckPlace(r.ID, Id(place, import, &TImportOffsets::Attachment));
    TakeRecord(r);
  }
}

TPoolItem* TAttachPool::ReadLineItem(std::string_view line) {
  TAttachment r = ReadRecord(line, nullptr);
  ResolveReferences(r);
  return new TAttachItem(this, std::move(r), TLinkLater{});
}

int TAttachPool::ListsToEnter(const TPoolItem* item, TListsToEnter& lists) const {
  lists = {static_cast<const TAttachItem*>(item)->NoteList};
  return 1;
}

std::string TAttachPool::SaveBytes() const {
  std::string out;
  ReserveRecords<TAttachItem>(out, AllItems(), 24, [](const TAttachment& d) {
    return d.Caption.size() + d.Location.size() + d.Text.size();
  });
  TRecordWriter w(out);
  int id = 0;
  for (TPoolItem* item : AllItems()) {
    const auto* att = static_cast<TAttachItem*>(item);
    const TAttachment& d = att->Data;
    w.Int(id++).Int(NotePool->IndexOf(att->GetNote())).Plain(d.Caption).Plain(d.Location).Coded(d.Text);
    w.Int(d.Kind).EndLine();
  }
  return out;
}

// ---- links

TLink TLinkPool::ReadRecord(std::string_view line, const TImportOffsets* import) const {
  TLink r;
  r.ID = Id(CutInt(line), import, &TImportOffsets::Link);
  r.SheetIndex = Ref(CutInt(line), import, &TImportOffsets::Sheet, *SheetPool);
  r.FromIndex = Ref(CutInt(line), import, &TImportOffsets::Note, *NotePool);
  r.ToIndex = Ref(CutInt(line), import, &TImportOffsets::Note, *NotePool);
  const int32_t relation = CutInt(line);
  r.RelationIndex = import ? RelationPool->ImportedIndex(relation) : relation;
  r.ToOffsetX = CutInt(line);
  r.ToOffsetY = CutInt(line);
  r.FromOffsetX = CutInt(line);
  r.FromOffsetY = CutInt(line);
  r.ArrowType = ToByte(CutField(line));
  r.PenWidth = CutInt(line);
  r.Color = CutInt(line);
  r.LineStyle = CutInt(line);
  r.Extra = ToInt(line);
  return r;
}

void TLinkPool::LoadBytes(std::string_view bytes, const TImportOffsets* import) {
  TLineReader reader(bytes);
  for (int32_t place = 0; !reader.Eof(); ++place) {
    TLink r = ReadRecord(reader.ReadLine(), import);
    CheckPlace(r.ID, Id(place, import, &TImportOffsets::Link));
    TakeRecord(r);
  }
}

TPoolItem* TLinkPool::ReadLineItem(std::string_view line) {
  TLink r = ReadRecord(line, nullptr);
  ResolveReferences(r);
  return new TLinkItem(this, r, TLinkLater{});
}

int TLinkPool::ListsToEnter(const TPoolItem* item, TListsToEnter& lists) const {
  lists = static_cast<const TLinkItem*>(item)->Lists();
  return int(lists.size());
}

std::string TLinkPool::SaveBytes() const {
  std::string out;
  ReserveRecords<TLinkItem>(out, AllItems(), 72, [](const TLink&) { return size_t(0); });
  TRecordWriter w(out);
  int id = 0;
  for (TPoolItem* item : AllItems()) {
    const auto* link = static_cast<TLinkItem*>(item);
    const TLink& d = link->Data;
    w.Int(id++).Int(SheetPool->IndexOf(link->GetSheet())).Int(NotePool->IndexOf(link->GetFromNote()));
    w.Int(NotePool->IndexOf(link->GetToNote())).Int(RelationPool->IndexOf(link->GetRelation()));
    w.Int(d.ToOffsetX).Int(d.ToOffsetY).Int(d.FromOffsetX).Int(d.FromOffsetY).Int(d.ArrowType);
    w.Int(d.PenWidth).Int(d.Color).Int(d.LineStyle).Int(d.Extra).EndLine();
  }
  return out;
}

} // namespace qel
