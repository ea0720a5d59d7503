#include "sheet/sorting.h"

#include "model/app_state.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <utility>
#include <vector>

namespace kestrune {
namespace {

// The new order of the rows: order[k] is the row that becomes row k + 1.
using RowOrder = std::vector<std::int32_t>;

struct KeyedRow {
    double key;
    std::int32_t row;
};

struct NumberedRow {
    std::int32_t number;
    std::int32_t row;
};

// The exchange sort only ever exchanges neighbours whose keys compare strictly
// in the wrong order, so rows with equal keys (-0.0 and +0.0 among them) never
// pass each other: a stable sort gives the same order.
RowOrder orderByNumber(const ModelTable& t) {
    const std::int32_t n = t.fNum;
    std::vector<NumberedRow> rows(static_cast<std::size_t>(n));
    for (std::int32_t r = 1; r <= n; ++r) {
        rows[static_cast<std::size_t>(r - 1)] = {t.Number.get(r), r};
    }
    std::stable_sort(rows.begin(), rows.end(), [](const NumberedRow& a, const NumberedRow& b) {
        return a.number < b.number;
    });
    RowOrder order(rows.size());
    std::transform(rows.begin(), rows.end(), order.begin(),
                   [](const NumberedRow& e) { return e.row; });
    return order;
}

// NaN compares neither greater nor smaller than anything, so the exchange
// sort never moves a row whose key is NaN, and no row can pass it either: the
// NaN rows stay where they are and each run of rows between them is sorted on
// its own.
RowOrder orderByValue(const ModelTable& t, Param p, bool descending) {
    const std::int32_t n = t.fNum;
    std::vector<KeyedRow> rows(static_cast<std::size_t>(n));
    for (std::int32_t r = 1; r <= n; ++r) {
        rows[static_cast<std::size_t>(r - 1)] = {t.value(p, r), r};
    }
    const auto isNaN = [](const KeyedRow& e) { return std::isnan(e.key); };
    for (auto begin = rows.begin(); begin != rows.end();) {
        const auto end = std::find_if(begin, rows.end(), isNaN);
        if (descending) {
            std::stable_sort(begin, end,
                             [](const KeyedRow& a, const KeyedRow& b) { return a.key > b.key; });
        } else {
            std::stable_sort(begin, end,
                             [](const KeyedRow& a, const KeyedRow& b) { return a.key < b.key; });
        }
        begin = end == rows.end() ? end : end + 1;
    }
    RowOrder order(rows.size());
    std::transform(rows.begin(), rows.end(), order.begin(),
                   [](const KeyedRow& e) { return e.row; });
    return order;
}

bool isIdentity(const RowOrder& order) {
    for (std::size_t k = 0; k < order.size(); ++k) {
        if (order[k] != static_cast<std::int32_t>(k + 1)) {
            return false;
        }
    }
    return true;
}

// Gathers a numeric column through one scratch buffer reused for every column.
template <typename T>
void permuteColumn(DynamicArray<T>& column, const RowOrder& order, std::vector<T>& scratch) {
    T* data = column.data();
    scratch.resize(order.size());
    for (std::size_t k = 0; k < order.size(); ++k) {
        scratch[k] = data[order[k]];
    }
    std::copy(scratch.begin(), scratch.end(), data + 1);
}

template <typename T> void prefetch(const T* address) {
#if defined(__GNUC__)
    __builtin_prefetch(address);
#else
    (void)address;
#endif
}

// Names only move by swaps, which never copy or allocate a name. Row k takes
// its name from wherever the row order[k - 1] has got to by then; tracking
// the positions keeps the random reads independent of each other (following
// the permutation's cycles would chain them), which matters once the names
// outgrow the cache.
void permuteNames(ModelTable& t, const RowOrder& order) {
    const auto idx = [](std::int32_t v) { return static_cast<std::size_t>(v); };
    const std::size_t n = order.size();
    std::vector<std::int32_t> where(n + 1); // old row -> its position now
    std::vector<std::int32_t> at(n + 1);    // position -> the old row there now
    std::iota(where.begin(), where.end(), 0);
    std::iota(at.begin(), at.end(), 0);
    constexpr std::size_t kAhead = 16;
    for (std::size_t k = 1; k <= n; ++k) {
        if (k + kAhead <= n) {
            prefetch(&where[idx(order[k + kAhead - 1])]);
        }
        const auto row = static_cast<std::int32_t>(k);
        const std::int32_t source = order[k - 1];
        const std::int32_t p = where[idx(source)];
        if (p == row) {
            continue;
        }
        t.Manufacturer.swap(row, p);
        t.ModelName.swap(row, p);
        const std::int32_t displaced = at[k];
        at[idx(p)] = displaced;
        where[idx(displaced)] = p;
        at[k] = source;
        where[idx(source)] = row;
    }
}

void applyOrder(ModelTable& t, const RowOrder& order) {
    if (isIdentity(order)) {
        return;
    }
    t.ensureRows(t.fNum + 1);
    std::vector<double> values;
    for (Param p : kAllParams) {
        permuteColumn(t.column(p), order, values);
    }
    std::vector<std::int32_t> numbers;
    permuteColumn(t.Number, order, numbers);
    permuteNames(t, order);
}

void sortTable(ModelTable& table, std::int32_t sortItmID, bool descending) {
    if (sortItmID < kSortByNumber || sortItmID > kLastSortKey || table.fNum < 2) {
        return;
    }
    if (sortItmID == kSortByNumber) {
        applyOrder(table, orderByNumber(table));
    } else {
        const auto p = static_cast<Param>(sortItmID - 2);
        applyOrder(table, orderByValue(table, p, descending));
    }
}

// Rows a and b exchange everything but their Number.
void exchangeExceptNumber(ModelTable& t, std::int32_t a, std::int32_t b) {
    t.ensureRows(std::max(a, b) + 1);
    t.Manufacturer.swap(a, b);
    t.ModelName.swap(a, b);
    for (Param p : kAllParams) {
        DynamicArray<double>& column = t.column(p);
        std::swap(column[a], column[b]);
    }
}

void moveRow(AppState& app, std::int32_t from, std::int32_t to) {
    exchangeExceptNumber(app.table, from, to);
    app.table.Number[to] = to;
    app.sel.cellV = to;
    app.DirtyFlagTrue();
}

} // namespace

void AscendSort(ModelTable& table, std::int32_t sortItmID) {
    sortTable(table, sortItmID, false);
}

void DescendSort(ModelTable& table, std::int32_t sortItmID) {
    sortTable(table, sortItmID, true);
}

void SelectSort(AppState& app) {
    if (app.sort.sendItmID == 2) {
        DescendSort(app.table, app.sort.sortItmID);
    } else {
        AscendSort(app.table, app.sort.sortItmID);
    }
}

std::array<bool, kSortMenuItems> SortMenuMarks(const SortState& sort) {
    std::array<bool, kSortMenuItems> marks{};
    if (sort.sortItmID >= kSortByNumber && sort.sortItmID <= kLastSortKey) {
        marks[static_cast<std::size_t>(sort.sortItmID - 1)] = true;
    }
    if (sort.sendItmID == 1) {
        marks[kSortAscendingItem - 1] = true;
    } else if (sort.sendItmID == 2) {
        marks[kSortDescendingItem - 1] = true;
    }
    return marks;
}

bool MoveToUpper(AppState& app) {
    const std::int32_t r = app.sel.cellV;
    if (r < 2 || r > app.table.fNum) {
        return false;
    }
    moveRow(app, r, r - 1);
    return true;
}

bool MoveToLower(AppState& app) {
    const std::int32_t r = app.sel.cellV;
    if (r < 1 || r > app.table.fNum - 1) {
        return false;
    }
    moveRow(app, r, r + 1);
    return true;
}

} // namespace kestrune
