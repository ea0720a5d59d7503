#include "sheet/parameter_checks.h"

#include <cmath>
#include <cstdio>

namespace kestrune {
namespace {

// The constant of the Vap formula, for liters from m², Hz and kg.
constexpr double kVapConstant = 3557630.0;
constexpr double kVapTolerance = 0.10;
constexpr double kVdTolerance = 0.05;

bool positive(double x) {
    return x > 0.0 && std::isfinite(x);
}

ParameterCheck judge(double expected, double published, double tolerance) {
    ParameterCheck check;
    check.known = positive(expected);
    check.expected = expected;
    check.marked = check.known && !(std::fabs(published - expected) <= tolerance * expected);
    return check;
}

std::string withTwoDecimals(const char* prefix, double value, const char* unit) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", value);
    return std::string(prefix) + text + unit;
}

} // namespace

double ExpectedVap(double fp, double mmsGrams, double sdCm2) {
    const double sd = sdCm2 / 10000.0;
    return kVapConstant * (sd * sd) / ((fp * fp) * (mmsGrams / 1000.0));
}

double ExpectedVd(double sdCm2, double xmaxMm) {
    return sdCm2 * xmaxMm / 10.0;
}

ParameterCheck CheckVap(const ModelTable& t, std::int32_t row) {
    const double fp = t.value(Param::Fp, row);
    const double mms = t.value(Param::Mms, row);
    const double sd = t.value(Param::Sd, row);
    if (!positive(fp) || !positive(mms) || !positive(sd)) {
        return {};
    }
    return judge(ExpectedVap(fp, mms, sd), t.value(Param::Vap, row), kVapTolerance);
}

ParameterCheck CheckVd(const ModelTable& t, std::int32_t row) {
    const double sd = t.value(Param::Sd, row);
    const double xmax = t.value(Param::Xmax, row);
    if (!positive(sd) || !positive(xmax)) {
        return {};
    }
    return judge(ExpectedVd(sd, xmax), t.value(Param::Vd, row), kVdTolerance);
}

std::optional<ParameterCheck> CheckParameter(const ModelTable& t, std::int32_t row, Param p) {
    if (p == Param::Vap) {
        return CheckVap(t, row);
    }
    if (p == Param::Vd) {
        return CheckVd(t, row);
    }
    return std::nullopt;
}

bool RowMarked(const ModelTable& t, std::int32_t row) {
    return CheckVap(t, row).marked || CheckVd(t, row).marked;
}

std::int32_t CountMarkedRows(const ModelTable& t) {
    std::int32_t count = 0;
    for (std::int32_t row = 1; row <= t.fNum; ++row) {
        count += RowMarked(t, row) ? 1 : 0;
    }
    return count;
}

std::int32_t NextMarkedRow(const ModelTable& t, std::int32_t after) {
    const std::int32_t n = t.fNum;
    if (n < 1) {
        return 0;
    }
    const std::int32_t start = (after >= 1 && after <= n) ? after : n;
    for (std::int32_t step = 1; step <= n; ++step) {
        const std::int32_t row = (start - 1 + step) % n + 1;
        if (RowMarked(t, row)) {
            return row;
        }
    }
    return 0;
}

std::string ComputedValueText(const ModelTable& t, std::int32_t row, Param p) {
    const std::optional<ParameterCheck> check = CheckParameter(t, row, p);
    if (!check || !check->known) {
        return {};
    }
    return p == Param::Vap
               ? withTwoDecimals("Computed from Fp, Mms and Sd: ", check->expected, " L")
               : withTwoDecimals("Computed from Sd and Xmax: ", check->expected, " cm\u00B3");
}

} // namespace kestrune
