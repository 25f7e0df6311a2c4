#include "Pools.h"

#include "DataLines.h"
#include "platform/Errors.h"
#include "platform/FileNames.h"

#include <cstring>

namespace qel {

bool AddOnLoad = false;

// ---- TPool

namespace {

// Room for one item a line, so that the list grows once.
void ReserveLines(TPoolItemList& pool, std::string_view bytes) {
  int lines = 1;
  for (const char *at = bytes.data(), *end = at + bytes.size();
       (at = static_cast<const char*>(std::memchr(at, '\n', size_t(end - at)))) != nullptr; ++at)
    ++lines;
  pool.Reserve(pool.AllCount() + lines);
}

} // namespace

void TPool::Load(const std::string& FileName) {
  TFileBytes file(FindFileNoCase(FileName));
  LoadFileBytes(file.View(), nullptr);
}

void TPool::LoadFileBytes(std::string_view bytes, const TImportOffsets* import) {
  ReserveLines(*this, bytes);
  LoadBytes(bytes, import);
}

void TPool::Save(const std::string& FileName) {
  ReplaceFileBytes(FindFileNoCase(FileName), SaveBytes());
}

void TPool::NextField(std::string& Line, std::string& Field) {
  std::string_view rest(Line);
  Field = std::string(CutField(rest));
  Line = std::string(rest);
}

// The older formats end every line of a text but its last with 0xFE: the part is the line
// without that final byte, followed by a line break.
void TPool::NextTextPart(std::string& Line, std::string& Part) {
  size_t sep = Line.rfind(TextBreak);
  if (sep == std::string::npos) {
    Part.clear();
    return;
  }
  Part = Line.substr(0, sep) + "\r\n";
  Line.erase(0, sep + 1);
}

void TPool::EncodeText(const std::string& Text, std::string& Coded) {
  Coded.clear();
  AppendCoded(Coded, Text);
}

void TPool::DecodeText(const std::string& Coded, std::string& Text) { Text = DecodeTextView(Coded); }

// ---- wiring and references

void TNotePool::SetPools(TAttachPool* attachPool, TPosPool* posPool, TLinkPool* linkPool, TSheetPool* sheetPool,
                         TTreeNodePool* noteTreePool) {
  AttachPool = attachPool;
  PosPool = posPool;
  LinkPool = linkPool;
  SheetPool = sheetPool;
  NoteTreePool = noteTreePool;
}

void TNotePool::ResolveReferences(TNote& record) const {
  if (record.SheetIndex != -1) record.Sheet = SheetPool->GetAllItem(record.SheetIndex);
}

void TSheetPool::SetPools(TPosPool* posPool, TLinkPool* linkPool, TTreeNodePool* sheetTreePool) {
  PosPool = posPool;
  LinkPool = linkPool;
  SheetTreePool = sheetTreePool;
}

void TPosPool::SetPools(TSheetPool* sheetPool, TNotePool* notePool, TTreeNodePool* posTreePool) {
  SheetPool = sheetPool;
  NotePool = notePool;
  PosTreePool = posTreePool;
}

void TPosPool::ResolveReferences(TPos& record) const {
  record.Sheet = SheetPool->GetAllItem(record.SheetIndex);
  record.Note = NotePool->GetAllItem(record.NoteIndex);
}

void TLinkPool::SetPools(TSheetPool* sheetPool, TNotePool* notePool, TRelationPool* relationPool) {
  SheetPool = sheetPool;
  NotePool = notePool;
  RelationPool = relationPool;
}

void TLinkPool::ResolveReferences(TLink& record) const {
  record.Sheet = SheetPool->GetAllItem(record.SheetIndex);
  record.FromNote = NotePool->GetAllItem(record.FromIndex);
  record.ToNote = NotePool->GetAllItem(record.ToIndex);
  record.Relation = RelationPool->GetAllItem(record.RelationIndex);
}

void TRelationPool::SetPools(TLinkPool* linkPool) { LinkPool = linkPool; }

void TAttachPool::SetPools(TNotePool* notePool, TTreeNodePool* attachTreePool) {
  NotePool = notePool;
  AttachTreePool = attachTreePool;
}

void TAttachPool::ResolveReferences(TAttachment& record) const {
  record.Note = NotePool->GetAllItem(record.NoteIndex);
}

// ---- TTreeNodePool

TTreeNodePool::~TTreeNodePool() { FreeAllItems(); }

TTreeNodeItem* TTreeNodePool::AddNode(const TTreeNodeRecord& record) {
  TRelationShip* list = nullptr;
  if (auto* sheet = dynamic_cast<TSheetItem*>(record.Item))
    list = &sheet->TreeNodes;
  else if (auto* note = dynamic_cast<TNoteItem*>(record.Item))
    list = &note->TreeNodes;
  else if (auto* attachment = dynamic_cast<TAttachItem*>(record.Item))
    list = &attachment->TreeNodes;
  else if (auto* pos = dynamic_cast<TPosItem*>(record.Item))
    list = &pos->TreeNodes;
  auto* item = new TTreeNodeItem(this, list, record);
  Add(item);
  return item;
}

void TTreeNodePool::ClearNodes() {
  const TItemSlots::TLive live = AllItems();
  for (TPoolItem* item : std::vector<TPoolItem*>(live.begin(), live.end())) {
    static_cast<TTreeNodeItem*>(item)->Detach();
    Remove(item);
  }
}

} // namespace qel
