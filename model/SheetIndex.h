#pragma once
// What one sheet shows, gathered from the lists of its own positions and their notes, so
// that painting and hit tests cost what the sheet holds rather than what the project holds.
// It depends on the project's structure only (which items exist and which lists they are
// in), never on coordinates: callers still test placement. TContainer::SheetIndex keeps it
// current.
#include <cstdint>
#include <vector>

namespace qel {

class TLinkItem;
class TNoteItem;
class TPosItem;
class TSheetItem;

struct TSheetIndex {
  // A link drawn to an aggregation note while its other note is placed on the sheet.
  struct TAggregateLink {
    TLinkItem* Link;
    const TNoteItem* Other;
  };
  // The aggregation note's candidate links: those of the notes of the sheet it stands for
  // whose other note is assigned to this sheet, in the order the aggregated links are drawn.
  struct TAggregate {
    const TNoteItem* Note = nullptr;
    const TSheetItem* StandsFor = nullptr;
    std::vector<TAggregateLink> Links;
  };

  uint64_t Stamp = 0; // TRelationShip::Changes when built; 0: never built
  std::vector<TPosItem*> Positions; // the sheet's positions in pool order
  // Every link, of whatever sheet, whose two notes are both assigned to the sheet, in pool order.
  std::vector<TLinkItem*> Links;
  std::vector<TAggregate> Aggregates; // one per aggregation note assigned to the sheet

  // The entry for an aggregation note standing for standsFor, or null.
  const TAggregate* AggregateOf(const TNoteItem* note, const TSheetItem* standsFor) const;
};

// The candidate links of an aggregation note on sheet standing for standsFor, as its entry holds them.
void CollectAggregateLinks(const TSheetItem* standsFor, const TSheetItem* sheet,
                           std::vector<TSheetIndex::TAggregateLink>& links);

} // namespace qel
