#include "SheetIndex.h"

#include "Container.h"

#include <algorithm>
#include <utility>

namespace qel {
namespace {

// The links in pool order, each once (a note assigned twice to a sheet brings its links twice).
void SortByPool(std::vector<TLinkItem*>& links, const TLinkPool& pool) {
  std::vector<std::pair<int, TLinkItem*>> keyed;
  keyed.reserve(links.size());
  for (TLinkItem* link : links) keyed.emplace_back(pool.IndexOf(link), link);
  std::sort(keyed.begin(), keyed.end());
  keyed.erase(std::unique(keyed.begin(), keyed.end()), keyed.end());
  links.clear();
  for (auto& [index, link] : keyed) links.push_back(link);
}

void Rebuild(TSheetIndex& index, const TSheetItem* sheet, const TLinkPool& linkPool) {
  index.Positions.clear();
  index.Links.clear();
  index.Aggregates.clear();
  index.Positions.reserve(static_cast<size_t>(sheet->Positions.Count()));
  for (TPoolItem* item : sheet->Positions) {
    auto* pos = static_cast<TPosItem*>(item);
    index.Positions.push_back(pos);
    TNoteItem* note = pos->GetNote();
    for (TPoolItem* l : note->OutLinks) {
      auto* link = static_cast<TLinkItem*>(l);
      if (link->GetToNote()->IsAssignedTo(sheet)) index.Links.push_back(link);
    }
    if (note->IsAggregation()) {
      if (const TSheetItem* standsFor = note->GetAggregatedSheet()) {
        TSheetIndex::TAggregate aggregate{note, standsFor, {}};
        CollectAggregateLinks(standsFor, sheet, aggregate.Links);
        index.Aggregates.push_back(std::move(aggregate));
      }
    }
  }
  SortByPool(index.Links, linkPool);
}

} // namespace

// For each note of the sheet stood for: its outgoing, then its incoming links whose other note
// is assigned to the sheet.
void CollectAggregateLinks(const TSheetItem* standsFor, const TSheetItem* sheet,
                           std::vector<TSheetIndex::TAggregateLink>& links) {
  for (TPoolItem* item : standsFor->Positions) {
    TNoteItem* q = static_cast<TPosItem*>(item)->GetNote();
    for (TPoolItem* l : q->OutLinks) {
      auto* link = static_cast<TLinkItem*>(l);
      if (link->GetToNote()->IsAssignedTo(sheet)) links.push_back({link, link->GetToNote()});
    }
    for (TPoolItem* l : q->InLinks) {
      auto* link = static_cast<TLinkItem*>(l);
      if (link->GetFromNote()->IsAssignedTo(sheet)) links.push_back({link, link->GetFromNote()});
    }
  }
}

const TSheetIndex::TAggregate* TSheetIndex::AggregateOf(const TNoteItem* note, const TSheetItem* standsFor) const {
  for (const TAggregate& aggregate : Aggregates)
    if (aggregate.Note == note && aggregate.StandsFor == standsFor) return &aggregate;
  return nullptr;
}

const TSheetIndex& TContainer::SheetIndex(const TSheetItem* sheet) const {
  TSheetIndex& index = sheet->Index;
  if (index.Stamp != TRelationShip::Changes) {
    Rebuild(index, sheet, *LinkPool);
    index.Stamp = TRelationShip::Changes;
  }
  return index;
}

} // namespace qel
