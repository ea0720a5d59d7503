#include "sheet/sorting.h"

#include "model/app_state.h"
#include "runtime/cores.h"
#include "runtime/gather.h"
#include "sheet/key_sort.h"
#include "sheet/name_order.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <new>
#include <utility>
#include <vector>

namespace kestrune {
namespace {

// The new order of the rows: order[k] is the row that becomes row k + 1.
using RowOrder = std::vector<std::int32_t>;

// A double's order as an unsigned integer's: -0.0 and +0.0 are equal keys,
// as they compare equal. Not for NaN.
std::uint64_t orderedBits(double x) {
    const auto bits = std::bit_cast<std::uint64_t>(x == 0.0 ? 0.0 : x);
    constexpr std::uint64_t kSign = std::uint64_t{1} << 63;
    return (bits & kSign) != 0 ? ~bits : bits | kSign;
}

// Numbers are mostly the rows' load order, each of 1 to n once: the order is
// then their inverse, made in one pass. False, with order to be overwritten
// whole, where a Number repeats or lies outside 1 to n.
bool invertNumbers(const ModelTable& t, RowOrder& order) {
    const std::int32_t n = t.fNum;
    for (std::int32_t r = 1; r <= n; ++r) {
        const std::int32_t number = t.Number.get(r);
        if (number < 1 || number > n) {
            return false;
        }
        std::int32_t& at = order[static_cast<std::size_t>(number - 1)];
        if (at != 0) {
            return false;
        }
        at = r;
    }
    return true;
}

// The exchange sort only ever exchanges neighbours whose keys compare strictly
// in the wrong order, so rows with equal keys (-0.0 and +0.0 among them) never
// pass each other: a stable sort gives the same order.
RowOrder orderByNumber(const ModelTable& t) {
    const std::int32_t n = t.fNum;
    RowOrder order(static_cast<std::size_t>(n)); // zeros
    if (invertNumbers(t, order)) {
        return order;
    }
    KeyArray keys(static_cast<std::size_t>(n));
    for (std::int32_t r = 1; r <= n; ++r) {
        keys[static_cast<std::size_t>(r - 1)] =
            static_cast<std::uint32_t>(t.Number.get(r)) ^ 0x80000000u;
    }
    KeyArray words;
    OrderRowsByKey(keys, 0, keys.size(), order.data(), words);
    return order;
}

// NaN compares neither greater nor smaller than anything, so the exchange
// sort never moves a row whose key is NaN, and no row can pass it either: the
// NaN rows stay where they are and each run of rows between them is sorted on
// its own. Descending is the stable ascending sort of the inverted keys. The
// keys are made from the column as they are needed, not kept.
RowOrder orderByValue(const ModelTable& t, Param p, bool descending) {
    const std::int32_t n = t.fNum;
    const std::uint64_t flip = descending ? ~std::uint64_t{0} : 0;
    const ValueColumn& column = t.column(p);
    std::vector<std::size_t> nanAt;
    for (std::int32_t r = 1; r <= n; ++r) {
        if (std::isnan(column.get(r))) {
            nanAt.push_back(static_cast<std::size_t>(r - 1));
        }
    }
    const auto size = static_cast<std::size_t>(n);
    nanAt.push_back(size);
    const auto key = [&column, flip](std::size_t k) {
        return orderedBits(column.get(static_cast<std::int32_t>(k + 1))) ^ flip;
    };
    RowOrder order(size);
    KeyArray words;
    std::size_t begin = 0;
    for (const std::size_t end : nanAt) {
        OrderRowsByKey(key, begin, end, order.data(), words);
        if (end < size) {
            order[end] = static_cast<std::int32_t>(end + 1); // a NaN row stays
        }
        begin = end + 1;
    }
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

// Below this many rows a second thread costs more than it saves.
constexpr std::size_t kParallelRows = 1 << 15;

// A column's worth of room, in large pages like the columns themselves.
template <typename T> using Scratch = typename DynamicArray<T>::Storage;

// Gathers the elements of a column, size of them, into room, a buffer of
// that size; the guard rows and the room beyond stay as they are.
template <typename T>
void gatherInto(const T* data, std::size_t size, const RowOrder& order, Scratch<T>& room) {
    const std::size_t n = order.size();
    GatherByOrder(data, order.data(), n, room.data() + 1);
    room[0] = data[0];
    std::copy(data + n + 1, data + size, room.begin() + n + 1);
}

// Gathers a numeric column into room, which then takes the column's place;
// the column's old elements come back in room, which is written whole again
// for the next column of that size.
template <typename T>
void permuteColumn(DynamicArray<T>& column, const RowOrder& order, Scratch<T>& room) {
    gatherInto(column.data(), column.storageSize(), order, room);
    column.exchangeStorage(room);
}

// Buffers of elements of type T, one for each size of column they serve.
template <typename T> class Rooms {
public:
    void makeFor(std::size_t size) {
        if (find(size) == nullptr) {
            rooms_.emplace_back(size);
        }
    }
    Scratch<T>& roomFor(std::size_t size) { return *find(size); }

private:
    Scratch<T>* find(std::size_t size) {
        for (Scratch<T>& room : rooms_) {
            if (room.size() == size) {
                return &room;
            }
        }
        return nullptr;
    }
    std::vector<Scratch<T>> rooms_;
};

// The columns of the table reordered one at a time: the eight values,
// Number, Manufacturer and Model Name.
constexpr std::size_t kColumns = kParamCount + 3;

// What one group of columns is reordered through.
struct ColumnRooms {
    Rooms<ValueColumn::Code> values;
    Rooms<double> wholes; // of the numbers kept whole, where a column has them
    Rooms<std::int32_t> numbers;
    Rooms<std::uint64_t> names; // of places, as name columns keep them

    template <typename Table> static auto& nameColumn(Table& t, std::size_t c) {
        return c == kParamCount + 1 ? t.Manufacturer : t.ModelName;
    }
    void makeFor(const ModelTable& t, std::size_t c) {
        if (c < kParamCount) {
            const ValueColumn& column = t.column(kAllParams[c]);
            values.makeFor(column.codes().storageSize());
            if (column.holdsWhole()) {
                wholes.makeFor(column.whole().size());
            }
        } else if (c == kParamCount) {
            numbers.makeFor(t.Number.storageSize());
        } else {
            names.makeFor(nameColumn(t, c).placesSize());
        }
    }
    // Cannot fail once makeFor was called for the column.
    void reorder(ModelTable& t, const RowOrder& order, std::size_t c) {
        if (c < kParamCount) {
            ValueColumn& column = t.column(kAllParams[c]);
            permuteColumn(column.codes(), order, values.roomFor(column.codes().storageSize()));
            if (column.holdsWhole()) {
                ZeroedColumn<double>& whole = column.whole();
                Scratch<double>& room = wholes.roomFor(whole.size());
                gatherInto(whole.data(), whole.size(), order, room);
                whole.swap(room);
            }
        } else if (c == kParamCount) {
            permuteColumn(t.Number, order, numbers.roomFor(t.Number.storageSize()));
        } else {
            NameColumn& column = nameColumn(t, c);
            column.permute(order, names.roomFor(column.placesSize()));
        }
    }
};

// Reorders every column. The columns are independent of each other: the
// cores share them out, in groups, each reordered through buffers of its
// own. Every buffer is made before the first column changes, and from then
// on nothing can fail, so running out of memory leaves the table as it was.
void applyOrder(ModelTable& t, const RowOrder& order) {
    t.ensureRows(t.fNum + 1);
    const std::size_t groups = std::min(PartsFor(order.size(), kParallelRows), kColumns);
    std::vector<ColumnRooms> rooms(groups);
    std::vector<char> failed(groups, 0); // by part
    RunOnCores(groups, [&](WorkPart& part) {
        const WorkPart::Range mine = part.share(groups);
        auto forEachColumn = [&](auto&& act) {
            for (std::size_t g = mine.begin; g < mine.end; ++g) {
                const WorkPart::Range columns = WorkPart::shareOf(kColumns, g, groups);
                for (std::size_t c = columns.begin; c < columns.end; ++c) {
                    act(rooms[g], c);
                }
            }
        };
        try {
            forEachColumn([&](ColumnRooms& room, std::size_t c) { room.makeFor(t, c); });
        } catch (const std::bad_alloc&) {
            failed[part.index()] = 1;
        }
        part.meet(); // every part has its buffers, or knows that one has not
        if (failed[part.index()] != 0) {
            throw std::bad_alloc();
        }
        if (std::count(failed.begin(), failed.begin() + part.parts(), 1) > 0) {
            return;
        }
        forEachColumn([&](ColumnRooms& room, std::size_t c) { room.reorder(t, order, c); });
    });
}

RowOrder orderFor(const ModelTable& table, std::int32_t sortItmID, bool descending) {
    if (sortItmID == kSortByNumber) {
        return orderByNumber(table);
    }
    if (sortItmID > kLastParamSortKey) {
        const NameColumn& names =
            sortItmID == kSortByManufacturer ? table.Manufacturer : table.ModelName;
        return OrderByName(names, table.fNum, descending);
    }
    return orderByValue(table, static_cast<Param>(sortItmID - 2), descending);
}

// After a sort the rows' names lie anywhere in their columns; laid out in
// the new order, a save reads them straight through. Without memory for
// that they stay where they are: the sort is done all the same.
void layOutNames(ModelTable& t) {
    for (NameColumn* names : {&t.Manufacturer, &t.ModelName}) {
        try {
            names->layOutInRowOrder();
        } catch (const std::bad_alloc&) {
            return;
        }
    }
}

// Finds the order, reorders the rows, then lays out their names' bytes:
// three steps of the progress.
void sortTable(ModelTable& table, std::int32_t sortItmID, bool descending, WorkProgress* progress) {
    if (sortItmID < kSortByNumber || sortItmID > kLastSortKey || table.fNum < 2) {
        return;
    }
    const auto step = [progress] {
        if (progress != nullptr) {
            progress->advance(1);
        }
    };
    if (progress != nullptr) {
        progress->setTotal(3);
    }
    const RowOrder order = orderFor(table, sortItmID, descending);
    step();
    if (!isIdentity(order)) {
        applyOrder(table, order);
        step();
        layOutNames(table);
    } else {
        step();
    }
    step();
}

// Rows a and b exchange everything but their Number.
void exchangeExceptNumber(ModelTable& t, std::int32_t a, std::int32_t b) {
    t.ensureRows(std::max(a, b) + 1);
    t.Manufacturer.swap(a, b);
    t.ModelName.swap(a, b);
    for (Param p : kAllParams) {
        t.column(p).swap(a, b);
    }
}

void moveRow(AppState& app, std::int32_t from, std::int32_t to) {
    exchangeExceptNumber(app.table, from, to);
    app.table.Number[to] = to;
    app.sel.cellV = to;
    app.DirtyFlagTrue();
}

} // namespace

void AscendSort(ModelTable& table, std::int32_t sortItmID, WorkProgress* progress) {
    sortTable(table, sortItmID, false, progress);
}

void DescendSort(ModelTable& table, std::int32_t sortItmID, WorkProgress* progress) {
    sortTable(table, sortItmID, true, progress);
}

void SelectSort(AppState& app, WorkProgress* progress) {
    if (app.sort.sendItmID == 2) {
        DescendSort(app.table, app.sort.sortItmID, progress);
    } else {
        AscendSort(app.table, app.sort.sortItmID, progress);
    }
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
