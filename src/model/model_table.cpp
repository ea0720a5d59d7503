#include "model/model_table.h"

#include <algorithm>
#include <utility>

namespace kestrune {
namespace {

template <std::size_t... I>
std::array<ValueColumn, kParamCount> makeParamColumns(const FatalErrorHandler* onFatal,
                                                      std::index_sequence<I...>) {
    return {ValueColumn(ColumnSlot::kFirstParam + static_cast<int>(I), onFatal)...};
}

template <std::size_t... I>
std::array<ValueColumn::Writer, kParamCount>
makeWriters(std::array<ValueColumn, kParamCount>& columns, std::index_sequence<I...>) {
    return {ValueColumn::Writer(columns[I])...};
}

} // namespace

ModelTable::Writers ModelTable::beginWriters() {
    for (ValueColumn& column : params_) {
        column.beginWriters();
    }
    return makeWriters(params_, std::make_index_sequence<kParamCount>{});
}

void ModelTable::endWriters(std::span<const Writers> sets) {
    for (std::size_t p = 0; p < kParamCount; ++p) {
        bool keptWhole = false;
        for (const Writers& set : sets) {
            keptWhole = keptWhole || set[p].keptWhole();
        }
        params_[p].endWriters(keptWhole);
    }
}

ModelTable::ModelTable(const FatalErrorHandler* onFatal)
    : Number(ColumnSlot::kNumber, onFatal),
      params_(makeParamColumns(onFatal, std::make_index_sequence<kParamCount>{})) {}

void ModelTable::ensureRows(std::int32_t last) {
    Number.ensure(last);
    Manufacturer.ensure(last);
    ModelName.ensure(last);
    for (auto& c : params_) {
        c.ensure(last);
    }
}

void ModelTable::emptyRow(std::int32_t row, bool resetNumber) {
    Manufacturer.set(row, {});
    ModelName.set(row, {});
    for (auto& c : params_) {
        c.set(row, 0.0);
    }
    if (resetNumber) {
        Number[row] = 0;
    }
}

void ModelTable::copyRow(std::int32_t from, std::int32_t to) {
    Manufacturer.move(from, to);
    ModelName.move(from, to);
    for (auto& c : params_) {
        c.copy(from, to);
    }
    Number[to] = Number[from];
}

void ModelTable::swapRows(std::int32_t a, std::int32_t b) {
    ensureRows(std::max(a, b)); // no access below may grow a column under a held reference
    Manufacturer.swap(a, b);
    ModelName.swap(a, b);
    for (auto& c : params_) {
        c.swap(a, b);
    }
    std::swap(Number[a], Number[b]);
}

void ModelTable::setFatalHandler(const FatalErrorHandler* onFatal) {
    Number.setFatalHandler(onFatal);
    for (ValueColumn& column : params_) {
        column.setFatalHandler(onFatal);
    }
}

} // namespace kestrune
