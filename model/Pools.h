#pragma once
// The pools: one per kind of item, with the readers and writers of their data files.
#include "AttachItem.h"
#include "LinkItem.h"
#include "NoteItem.h"
#include "PoolItemList.h"
#include "PosItem.h"
#include "RelationItem.h"
#include "SheetItem.h"
#include "TreeNodeItem.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace qel {

// Set once at start-up from the setting "IDLoad": readers then add items as if made while
// working (load index -1, pool marked modified) instead of as loaded.
extern bool AddOnLoad;

// Counts of each kind before an import; the import readers shift references by them.
struct TImportOffsets {
  int32_t Note = 0;
  int32_t Sheet = 0;
  int32_t Attachment = 0;
  int32_t Relation = 0;
  int32_t Position = 0;
  int32_t Link = 0;
};

class TPool : public TPoolItemList {
public:
  // Reads the data file (its name matched without regard to case) and appends its items.
  // Raises EInOutError, EConvertError or EListError; items read before an error stay.
  virtual void Load(const std::string& FileName);
  // Writes the data file, replacing an existing one (also one named in another case).
  virtual void Save(const std::string& FileName);

  // The readers and the writer proper. import is null for a plain load.
  virtual void LoadBytes(std::string_view bytes, const TImportOffsets* import) = 0;
  virtual std::string SaveBytes() const = 0;
  // LoadBytes with room for one item a line reserved first.
  void LoadFileBytes(std::string_view bytes, const TImportOffsets* import);

  // Reading in parts on worker threads (TPartRead), for a plain load of one record a line.
  // Whether this pool's files can be read so, and whether these bytes (a file, or a part of
  // one cut after a line end) hold one record a line:
  virtual bool ReadsInParts() const { return false; }
  virtual bool IsOneRecordALine(std::string_view) const { return true; }
  // The item of one line, made apart from this pool and from the lists it is to enter.
  // Several threads may call it at once while nothing else changes the project.
  virtual TPoolItem* ReadLineItem(std::string_view) { return nullptr; }
  // Makes ready for ReadLineItem on several threads; called before, on the owning thread.
  virtual void PrepareReadInParts() {}
  // Appends an item read from a file (its load index is its place).
  void TakeLoaded(TPoolItem* item) {
    item->LoadIndex = AllCount();
    AppendLoaded(item);
  }
  // The dependency lists an item so made is to enter once taken, in the order it enters
  // them when made while working; how many.
  using TListsToEnter = std::array<TRelationShip*, 4>;
  virtual int ListsToEnter(const TPoolItem*, TListsToEnter&) const { return 0; }
  // The identifier an item read from a file had there.
  virtual int32_t ReadIdentifier(const TPoolItem* item) const = 0;

  // Field cutting and the line-break coding of texts, shared by readers, writers and export.
  static void NextField(std::string& Line, std::string& Field);
  static void NextTextPart(std::string& Line, std::string& Part);
  static void EncodeText(const std::string& Text, std::string& Coded);
  static void DecodeText(const std::string& Coded, std::string& Text);
};

// A data pool of items of one class made from records of one type.
template <class TItem, class TRecord> class TDataPool : public TPool {
public:
  ~TDataPool() override { FreeAllItems(); }
  TItem* GetItem(int index) const { return static_cast<TItem*>(TPoolItemList::GetItem(index)); }
  TItem* GetAllItem(int index) const { return static_cast<TItem*>(TPoolItemList::GetAllItem(index)); }
  int32_t ReadIdentifier(const TPoolItem* item) const override { return static_cast<const TItem*>(item)->Data.ID; }
  // An item made while working: its references must be set.
  TItem* AddItem(const TRecord& record) {
    auto* item = new TItem(this, record);
    Add(item);
    return item;
  }
  // An item read from a file: references are resolved from the index fields.
  TItem* LoadItem(TRecord record) {
    ResolveReferences(record);
    auto* item = new TItem(this, std::move(record));
    TakeLoaded(item);
    return item;
  }

protected:
  // Fills the reference fields from the index fields through the full lists of the pools
  // read before; an index outside them raises the list error.
  virtual void ResolveReferences(TRecord& record) const = 0;
  // What the readers do with each record.
  void TakeRecord(TRecord& record) {
    if (AddOnLoad) {
      ResolveReferences(record);
      AddItem(record);
    } else {
      LoadItem(std::move(record));
    }
  }
};

class TNotePool;
class TSheetPool;
class TPosPool;
class TLinkPool;
class TRelationPool;
class TAttachPool;
class TTreeNodePool;

class TNotePool : public TDataPool<TNoteItem, TNote> {
public:
  void SetPools(TAttachPool* attachPool, TPosPool* posPool, TLinkPool* linkPool, TSheetPool* sheetPool,
                TTreeNodePool* noteTreePool);
  void LoadBytes(std::string_view bytes, const TImportOffsets* import) override;
  std::string SaveBytes() const override;
  // The two formats: one line per note, and the older one with the body over several lines.
  void LoadNew(std::string_view bytes, const TImportOffsets* import);
  void LoadOld(std::string_view bytes, const TImportOffsets* import);
  bool ReadsInParts() const override { return true; }
  bool IsOneRecordALine(std::string_view bytes) const override;
  TPoolItem* ReadLineItem(std::string_view line) override;
  void PrepareReadInParts() override;

  TAttachPool* AttachPool = nullptr;
  TPosPool* PosPool = nullptr;
  TLinkPool* LinkPool = nullptr;
  TSheetPool* SheetPool = nullptr;
  TTreeNodePool* NoteTreePool = nullptr;

private:
  TNote ReadNewRecord(std::string_view line, const TImportOffsets* import) const;

protected:
  void ResolveReferences(TNote& record) const override;
};

class TSheetPool : public TDataPool<TSheetItem, TSheet> {
public:
  static constexpr std::string_view Marker = "New0123456789";
  void SetPools(TPosPool* posPool, TLinkPool* linkPool, TTreeNodePool* sheetTreePool);
  void LoadBytes(std::string_view bytes, const TImportOffsets* import) override;
  std::string SaveBytes() const override;
  // Sheet identifiers are their places, 0, 1, 2, ... An export writes the sheets' keys in
  // the project it makes instead, and beside it an index ("_shtX") whose line i holds the key
  // of sheet i. A sheets file is read with those keys when it disagrees with the places and
  // agrees with them; a line lost, doubled or moved disagrees with both and raises.
  static constexpr std::string_view KeyIndexSuffix = "_shtX";
  static std::vector<int32_t> ReadKeyIndex(std::string_view bytes);
  void SetKeys(std::vector<int32_t> keys) { FKeys = std::move(keys); }
  void LoadNew(std::string_view bytes, const TImportOffsets* import);
  // The older format's identifiers need not be the places; doubled or out of order they raise.
  void LoadOld(std::string_view bytes, const TImportOffsets* import);

  TPosPool* PosPool = nullptr;
  TLinkPool* LinkPool = nullptr;
  TTreeNodePool* SheetTreePool = nullptr;

protected:
  void ResolveReferences(TSheet&) const override {}

private:
  std::vector<int32_t> FKeys;
};

class TPosPool : public TDataPool<TPosItem, TPos> {
public:
  void SetPools(TSheetPool* sheetPool, TNotePool* notePool, TTreeNodePool* posTreePool);
  void LoadBytes(std::string_view bytes, const TImportOffsets* import) override;
  std::string SaveBytes() const override;
  bool ReadsInParts() const override { return true; }
  TPoolItem* ReadLineItem(std::string_view line) override;
  int ListsToEnter(const TPoolItem* item, TListsToEnter& lists) const override;

  TSheetPool* SheetPool = nullptr;
  TNotePool* NotePool = nullptr;
  TTreeNodePool* PosTreePool = nullptr;

private:
  TPos ReadRecord(std::string_view line, const TImportOffsets* import) const;

protected:
  void ResolveReferences(TPos& record) const override;
};

class TLinkPool : public TDataPool<TLinkItem, TLink> {
public:
  void SetPools(TSheetPool* sheetPool, TNotePool* notePool, TRelationPool* relationPool);
  void LoadBytes(std::string_view bytes, const TImportOffsets* import) override;
  std::string SaveBytes() const override;
  bool ReadsInParts() const override { return true; }
  TPoolItem* ReadLineItem(std::string_view line) override;
  int ListsToEnter(const TPoolItem* item, TListsToEnter& lists) const override;

  TSheetPool* SheetPool = nullptr;
  TNotePool* NotePool = nullptr;
  TRelationPool* RelationPool = nullptr;

private:
  TLink ReadRecord(std::string_view line, const TImportOffsets* import) const;

protected:
  void ResolveReferences(TLink& record) const override;
};

class TRelationPool : public TDataPool<TRelationItem, TRelation> {
public:
  void SetPools(TLinkPool* linkPool);
  void LoadBytes(std::string_view bytes, const TImportOffsets* import) override;
  std::string SaveBytes() const override;

  TLinkPool* LinkPool = nullptr;
  // An import reuses a relation type of the same name (the project's own or one imported
  // before it) instead of adding a second one: the place in the pool's full list that each
  // relation type of the last imported file stands for.
  std::vector<int32_t> ImportedAt;
  // The place ImportedAt gives a relation index read from an imported link; raises EListError
  // for one the imported file does not hold.
  int32_t ImportedIndex(int32_t raw) const;

protected:
  void ResolveReferences(TRelation&) const override {}
};

class TAttachPool : public TDataPool<TAttachItem, TAttachment> {
public:
  void SetPools(TNotePool* notePool, TTreeNodePool* attachTreePool);
  void LoadBytes(std::string_view bytes, const TImportOffsets* import) override;
  std::string SaveBytes() const override;
  bool ReadsInParts() const override { return true; }
  TPoolItem* ReadLineItem(std::string_view line) override;
  int ListsToEnter(const TPoolItem* item, TListsToEnter& lists) const override;

  TNotePool* NotePool = nullptr;
  TTreeNodePool* AttachTreePool = nullptr;

private:
  TAttachment ReadRecord(std::string_view line, const TImportOffsets* import) const;

protected:
  void ResolveReferences(TAttachment& record) const override;
};

// The navigator's tree-node entries; never stored.
class TTreeNodePool : public TPool {
public:
  ~TTreeNodePool() override;
  void SetPool(TPoolItemList* pool) { ItemPool = pool; }
  // Registers a node for a sheet, note, attachment or position.
  TTreeNodeItem* AddNode(const TTreeNodeRecord& record);
  // Drops every entry without touching the tree view (before the navigator rebuilds it).
  void ClearNodes();
  void Load(const std::string&) override {}
  void Save(const std::string&) override {}
  void LoadBytes(std::string_view, const TImportOffsets*) override {}
  std::string SaveBytes() const override { return {}; }
  int32_t ReadIdentifier(const TPoolItem*) const override { return -1; } // nodes are never read
  TTreeNodeItem* GetItem(int index) const { return static_cast<TTreeNodeItem*>(TPoolItemList::GetItem(index)); }

  TPoolItemList* ItemPool = nullptr;
};

class TAttachTreePool : public TTreeNodePool {};
class TNoteTreePool : public TTreeNodePool {};
class TSheetTreePool : public TTreeNodePool {};
class TPosTreePool : public TTreeNodePool {};

} // namespace qel
