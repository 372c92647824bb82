#pragma once
// The two category tables of the category list and the rule that picks a category's stations.

#include <cstdint>
#include <string>
#include <vector>

#include "catalogue/station_record.h"

namespace lumio {

inline constexpr int32_t kContentCategories = 0;  // m_categoryKind: by content
inline constexpr int32_t kRegionCategories = 1;   // m_categoryKind: by region
inline constexpr int32_t kFavouritesRow = 13;     // content table row "收藏"
inline constexpr int32_t kHistoryRow = 14;        // content table row "最近"

// The row texts (GBK) of the content table (15 rows) and of the region table (19 rows).
const std::vector<std::string>& ContentCategoryNames();
const std::vector<std::string>& RegionCategoryNames();

// The row texts of the table of `kind` (content for any value but kRegionCategories).
const std::vector<std::string>& CategoryNames(int32_t kind);

// True when `record` belongs to catalogue row `row` of the table of `kind`. Rows outside a
// table (for example -1, a click below the rows) select category number row + 1 like the rest.
bool MatchesCategory(int32_t kind, int32_t row, const StationRecord& record);

// Rebuilds `view` for row `row` of the table of `kind`: the favourites or the history for the
// two last content rows, otherwise the matching catalogue records, in source order.
void FillView(int32_t kind, int32_t row, const StationList& catalogue,
              const StationList& favourites, const StationList& history, StationList& view);

}  // namespace lumio
