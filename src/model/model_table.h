#pragma once
// The catalogue of the open data sheet: rows 1 to fNum of parallel columns,
// with guard rows 0 and fNum+1 that are always there and always empty.

#include "model/name_column.h"
#include "model/value_column.h"
#include "runtime/dynamic_array.h"

#include <array>
#include <cstdint>
#include <span>

namespace kestrune {

// The eight numeric parameters in column order.
enum class Param : int { Dia, Fp, Vap, Qmp, Sd, Xmax, Vd, Mms };
constexpr int kParamCount = 8;
constexpr std::array<Param, kParamCount> kAllParams = {
    Param::Dia, Param::Fp, Param::Vap, Param::Qmp, Param::Sd, Param::Xmax, Param::Vd, Param::Mms};
// The decimal places a document writes of each parameter: a number worked
// out is kept to them, a number given with more keeps its own.
constexpr std::array<int, kParamCount> kKeptPlaces = {2, 2, 2, 3, 2, 2, 2, 1};

// The numbers under which the runtime knows the columns.
namespace ColumnSlot {
constexpr int kNumber = 1;
constexpr int kManufacturer = 2;
constexpr int kFirstParam = 5; // Dia; Fp to Mms follow
constexpr int kModelName = 13;
} // namespace ColumnSlot

class ModelTable {
public:
    explicit ModelTable(const FatalErrorHandler* onFatal);

    std::int32_t fNum = 0;

    DynamicArray<std::int32_t> Number;
    NameColumn Manufacturer;
    NameColumn ModelName;

    ValueColumn& column(Param p) { return params_[static_cast<std::size_t>(p)]; }
    const ValueColumn& column(Param p) const { return params_[static_cast<std::size_t>(p)]; }
    double value(Param p, std::int32_t row) const {
        return params_[static_cast<std::size_t>(p)].get(row);
    }
    // A number worked out (a calculator's result): a document keeps it to
    // the column's places.
    void setValue(Param p, std::int32_t row, double v) {
        column(p).setWorkedOut(row, v, kKeptPlaces[static_cast<std::size_t>(p)]);
    }
    // A number given as text (typed, pasted, imported): a document keeps
    // every digit of it.
    void setGivenValue(Param p, std::int32_t row, double v) { column(p).set(row, v); }
    // A writer for each parameter's column, in column order, for threads
    // that fill rows already addressable; every set of them made is handed
    // to endWriters once they are done.
    using Writers = std::array<ValueColumn::Writer, kParamCount>;
    Writers beginWriters();
    void endWriters(std::span<const Writers> sets);

    // Where every column reports a bad index from now on.
    void setFatalHandler(const FatalErrorHandler* onFatal);
    // Makes rows 0 to last addressable in every column at once.
    void ensureRows(std::int32_t last);
    // Empty names and zero numbers; Number becomes 0 only when resetNumber.
    void emptyRow(std::int32_t row, bool resetNumber);
    // Every column, Number included.
    void copyRow(std::int32_t from, std::int32_t to);
    void swapRows(std::int32_t a, std::int32_t b);

private:
    std::array<ValueColumn, kParamCount> params_;
};

} // namespace kestrune
