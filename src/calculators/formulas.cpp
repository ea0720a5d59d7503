#include "calculators/formulas.h"

#include "calculators/field_reading.h"
#include "model/app_state.h"
#include "runtime/number_text.h"
#include "sheet/sheet_redraw.h"

#include <cmath>
#include <initializer_list>
#include <numbers>
#include <string>

namespace kestrune {
namespace {

// Sd rounded to 0.1 cm² and expressed in m².
Str255 squareMetreText(double sdCm2) {
    const std::string text = PSstr(std::rint(10.0 * sdCm2) / 100000.0);
    return Str255(std::string_view(text));
}

void textsFromRow(AppState& app, std::int32_t row) {
    const ModelTable& t = app.table;
    CalcWorkingSet& c = app.calc;
    c.s_Manuf5 = t.Manufacturer.str(row);
    c.s_SP5 = t.ModelName.str(row);
    c.s_DIA5 = roundedText(t.value(Param::Dia, row), 100);
    c.s_FS5 = roundedText(t.value(Param::Fp, row), 100);
    c.s_VAS5 = roundedText(t.value(Param::Vap, row), 100);
    c.s_QMS5 = roundedText(t.value(Param::Qmp, row), 1000);
    c.s_SD5 = roundedText(t.value(Param::Sd, row), 10);
    c.s_XMAX5 = roundedText(t.value(Param::Xmax, row), 100);
    c.s_VD5 = roundedText(t.value(Param::Vd, row), 1000);
    c.s_MMS5 = roundedText(t.value(Param::Mms, row), 10);
}

// A calculator's input goes to the row as a number given, unless it is the
// row's number as the field showed it, rounded to one of the steps shown: a
// field left as it was would drop the number's other digits.
void storeInput(ModelTable& table, Param p, std::int32_t row, double input,
                std::initializer_list<int> shownSteps) {
    const double number = table.value(p, row);
    for (const int scale : shownSteps) {
        if (RoundToScale(number, scale) == input) {
            return;
        }
    }
    table.setGivenValue(p, row, input);
}

bool squareMetres(const CalcWorkingSet& c) {
    return c.VdRadioID == 2;
}

// One quantity of the Feet to Metric calculator.
struct FeetQuantity {
    double CalcWorkingSet::*imperial;
    double CalcWorkingSet::*metric;
    Str255 CalcWorkingSet::*text;
    std::int32_t CalcWorkingSet::*mark;
    Param column;
    double factor;
    int scale;
};

// tabItem 1 to 5; false for anything else.
bool feetQuantity(std::int32_t tabItem, FeetQuantity& q) {
    switch (tabItem) {
    case 1:
        q = {&CalcWorkingSet::DIAinch,
             &CalcWorkingSet::DIA5,
             &CalcWorkingSet::s_DIA5,
             &CalcWorkingSet::keepBtn1,
             Param::Dia,
             2.5,
             100};
        return true;
    case 2:
        q = {&CalcWorkingSet::VASft,
             &CalcWorkingSet::VAS5,
             &CalcWorkingSet::s_VAS5,
             &CalcWorkingSet::keepBtn2,
             Param::Vap,
             std::pow(3.048, 3.0),
             100};
        return true;
    case 3:
        q = {&CalcWorkingSet::SDinch,
             &CalcWorkingSet::SD5,
             &CalcWorkingSet::s_SD5,
             &CalcWorkingSet::keepBtn3,
             Param::Sd,
             std::pow(2.54, 2.0),
             10};
        return true;
    case 4:
        q = {&CalcWorkingSet::XMAXinch,
             &CalcWorkingSet::XMAX5,
             &CalcWorkingSet::s_XMAX5,
             &CalcWorkingSet::keepBtn4,
             Param::Xmax,
             25.4,
             100};
        return true;
    case 5:
        q = {&CalcWorkingSet::VDinch,
             &CalcWorkingSet::VD5,
             &CalcWorkingSet::s_VD5,
             &CalcWorkingSet::keepBtn5,
             Param::Vd,
             std::pow(2.54, 3.0),
             100};
        return true;
    default:
        return false;
    }
}

} // namespace

void CalcParaChang(AppState& app) {
    textsFromRow(app, app.sel.cellV);
    CalcWorkingSet& c = app.calc;
    c.DIAinch = 0.0;
    c.VASft = 0.0;
    c.VDinch = 0.0;
    c.SDinch = 0.0;
    c.XMAXinch = 0.0;
}

void CalcParaChangBeforeSort(AppState& app) {
    textsFromRow(app, 1);
}

void CalcParaChangVd(AppState& app) {
    const double sd = app.table.value(Param::Sd, app.sel.cellV);
    app.calc.s_SD5 = squareMetres(app.calc) ? squareMetreText(sd) : roundedText(sd, 10);
}

void CalcParaChangVdUnitSwitch(AppState& app) {
    const double sd = app.table.value(Param::Sd, app.sel.cellV);
    app.calc.s_SD5 = squareMetres(app.calc) ? squareMetreText(sd) : roundedText(sd, 100);
}

CalcOutcome VasCalc(AppState& app, const CalcFields& fields) {
    CalcWorkingSet& c = app.calc;
    readField(fields.field74, c.s_FS5, c.FS5);
    readField(fields.field75, c.s_MMS5, c.MMS5);
    readField(fields.field76, c.s_SD5, c.SD5);
    readField(fields.field78, c.s_QMS5, c.QMS5);
    readField(fields.field79, c.s_XMAX5, c.XMAX5);
    if (!positive(c.FS5) || !positive(c.MMS5) || !positive(c.SD5) || !positive(c.QMS5) ||
        std::isnan(c.XMAX5)) {
        return refuse(app);
    }
    const double kilograms = c.MMS5 / 1000.0;
    const double sdd = c.SD5 / 10000.0; // cm² to m²
    const double vd = c.SD5 * c.XMAX5 / 10.0;
    const double vas = kVapConstant * (sdd * sdd) / ((c.FS5 * c.FS5) * kilograms);
    // A result beyond the doubles (an overflow, a division by a tiny number)
    // is refused like unfit input: it never reaches the row.
    if (!std::isfinite(vas) || !std::isfinite(vd)) {
        return refuse(app, CalcOutcome::NotFinite);
    }
    c.UncalcFlag = false;
    c.MMS5 = kilograms; // the number stays in kilograms
    c.SDD = sdd;
    c.VD5 = vd;
    c.VAS5 = vas;
    c.s_VAS5 = roundedText(c.VAS5, 100);
    c.s_VD5 = roundedText(c.VD5, 10);
    c.s_SD5 = roundedText(c.SD5, 100);
    return CalcOutcome::Computed;
}

CalcOutcome SdCalc(AppState& app, const CalcFields& fields) {
    CalcWorkingSet& c = app.calc;
    readField(fields.field74, c.s_EFDIA5, c.EFDIA5);
    if (!positive(c.EFDIA5)) {
        return refuse(app);
    }
    const double radiusCm = c.EFDIA5 / 20.0;
    const double sd = std::numbers::pi * (radiusCm * radiusCm);
    if (!std::isfinite(sd)) {
        return refuse(app, CalcOutcome::NotFinite);
    }
    c.UncalcFlag = false;
    c.SD5 = sd;
    c.s_SD5 = roundedText(c.SD5, 10);
    return CalcOutcome::Computed;
}

CalcOutcome VdCalc(AppState& app, const CalcFields& fields) {
    CalcWorkingSet& c = app.calc;
    readField(fields.field74, c.s_SD5, c.SD5);
    readField(fields.field75, c.s_XMAX5, c.XMAX5);
    if (!positive(c.SD5) || !positive(c.XMAX5)) {
        return refuse(app);
    }
    const double vd = squareMetres(c) ? 10000.0 * c.SD5 * c.XMAX5 / 10.0 : c.SD5 * c.XMAX5 / 10.0;
    // 10000 × Sd comes first, so an Sd in m² beyond the doubles in cm² is caught too.
    if (!std::isfinite(vd)) {
        return refuse(app, CalcOutcome::NotFinite);
    }
    c.UncalcFlag = false;
    c.VD5 = vd;
    c.s_VD5 = roundedText(c.VD5, 100);
    return CalcOutcome::Computed;
}

void VdCalc2(AppState& app, const CalcFields& fields) {
    CalcWorkingSet& c = app.calc;
    readField(fields.field74, c.s_SD5, c.SD5);
    readField(fields.field75, c.s_XMAX5, c.XMAX5);
}

CalcOutcome CalcFtToMet(AppState& app, const CalcFields& fields) {
    CalcWorkingSet& c = app.calc;
    FeetQuantity q{};
    if (!feetQuantity(c.tabItem, q)) {
        return CalcOutcome::Refused;
    }
    c.s_FTMin = fields.field74;
    c.*q.imperial = fieldNumber(c.s_FTMin);
    if (!positive(c.*q.imperial)) {
        return refuse(app);
    }
    const double metric = c.*q.imperial * q.factor;
    if (!std::isfinite(metric)) {
        return refuse(app, CalcOutcome::NotFinite);
    }
    c.UncalcFlag = false;
    c.*q.metric = metric;
    c.s_FTMout = roundedText(c.*q.metric, q.scale);
    c.*q.text = c.s_FTMout;
    c.*q.mark = 1;
    return CalcOutcome::Computed;
}

void FtToMetParaCang(AppState& app) {
    CalcWorkingSet& c = app.calc;
    FeetQuantity q{};
    if (feetQuantity(c.tabItem, q)) {
        c.s_FTMout = c.*q.text;
    }
    c.FTMin = 0.0;
    c.s_FTMin = Str255(std::string_view(PSstr(0.0)));
}

void TransToSheetVas(AppState& app) {
    const CalcWorkingSet& c = app.calc;
    ModelTable& t = app.table;
    const std::int32_t row = app.sel.cellV;
    storeInput(t, Param::Fp, row, c.FS5, {100});
    t.setValue(Param::Vap, row, c.VAS5);
    storeInput(t, Param::Qmp, row, c.QMS5, {1000});
    storeInput(t, Param::Sd, row, c.SD5, {10, 100});
    storeInput(t, Param::Xmax, row, c.XMAX5, {100});
    t.setValue(Param::Vd, row, c.VD5);
}

void TransToSheetSd(AppState& app) {
    app.table.setValue(Param::Sd, app.sel.cellV, app.calc.SD5);
}

void TransToSheetVd(AppState& app) {
    const CalcWorkingSet& c = app.calc;
    ModelTable& t = app.table;
    const std::int32_t row = app.sel.cellV;
    t.setValue(Param::Vd, row, c.VD5);
    if (squareMetres(c)) {
        t.setValue(Param::Sd, row, 10000.0 * c.SD5);
    } else {
        storeInput(t, Param::Sd, row, c.SD5, {10, 100});
    }
    storeInput(t, Param::Xmax, row, c.XMAX5, {100});
}

void TransToSheetFtToMet(AppState& app) {
    CalcWorkingSet& c = app.calc;
    for (std::int32_t tab = 1; tab <= 5; ++tab) {
        FeetQuantity q{};
        if (feetQuantity(tab, q) && c.*q.mark == 1) {
            app.table.setValue(q.column, app.sel.cellV, c.*q.metric);
        }
    }
}

void PassParamAfterCalculate(AppState& app) {
    const CalcWorkingSet& c = app.calc;
    Str255& pass = app.edit.s_PASS;
    const std::int32_t column = app.sel.cellH;
    if (column == 1) {
        pass = c.s_Manuf5;
    } else if (column == 2) {
        pass = c.s_SP5;
    } else if (column >= 3 && column <= 10) {
        // The number as the row now keeps it: a working text rounded to the
        // calculator's steps would be stored over a number with more digits.
        pass = ShownEditText(app, app.sel.cellV, column);
    }
}

} // namespace kestrune
