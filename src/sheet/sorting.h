#pragma once
// Sorting the sheet by one parameter or name, restoring the load order ("Unsort"),
// moving single rows up and down, and the Sort menu's check marks.
//
// The order is exactly that of a plain exchange sort over rows 1 to fNum
// (for i = 1 .. n-1, for j = n down to i+1, exchange rows j-1 and j when
// value(j-1) > value(j), or value(j) > value(j-1) descending), computed in
// O(n log n) instead of O(n²).
//
// Keys (sortItmID): 1 Number, 2 Dia, 3 Fp, 4 Vap, 5 Qmp, 6 Sd, 7 Xmax, 8 Vd,
// 9 Mms, 10 Manufacturer, 11 Model Name. Key 1 always sorts ascending, so
// "Unsort" restores the load order in either direction. Names sort stably in
// the order people read them (see name_order.h).

#include "runtime/work_progress.h"

#include <cstdint>

namespace kestrune {

class AppState;
class ModelTable;
struct SortState;

// Sort keys (sortItmID): 1 the load order (Number), 2 .. 9 Dia .. Mms.
constexpr std::int32_t kSortByNumber = 1;
constexpr std::int32_t kLastParamSortKey = 9;
// 10 and 11 sort by Manufacturer and Model Name as people order names.
constexpr std::int32_t kSortByManufacturer = 10;
constexpr std::int32_t kSortByModelName = 11;
constexpr std::int32_t kLastSortKey = 11;

// Reorders rows 1 .. fNum by the key; every column travels with its row.
// A key outside 1 .. 11 leaves the table alone. The names' bytes are then
// laid out in the new row order where memory allows, so that a save reads
// them straight through. With progress, its total becomes the sort's three
// steps (the order found, the rows moved, the names laid out), and it
// advances as each ends.
void AscendSort(ModelTable& table, std::int32_t sortItmID, WorkProgress* progress = nullptr);
void DescendSort(ModelTable& table, std::int32_t sortItmID, WorkProgress* progress = nullptr);
// Sorts app.table by app.sort.sortItmID in the direction app.sort.sendItmID.
void SelectSort(AppState& app, WorkProgress* progress = nullptr);

// The arrow buttons: exchange the selected row with the one above or below in
// every column but Number, then set the Number of the row that moved to its
// new index, select it and mark the document modified. In the load order this
// keeps every Number equal to its index, so the move survives a later
// "Unsort". The caller redraws the sheet. A row with no neighbour on that
// side is refused: false, nothing changes.
bool MoveToUpper(AppState& app);
bool MoveToLower(AppState& app);

} // namespace kestrune
