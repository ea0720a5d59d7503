#include "calculators/mass_formulas.h"

#include "calculators/field_reading.h"
#include "model/app_state.h"
#include "runtime/number_text.h"
#include "sheet/cell_text.h"

#include <cmath>
#include <string_view>

namespace kestrune {
namespace {

constexpr double kMostRadiators = 8.0;

// A whole number of radiators, 1 to 8.
bool radiatorCount(double n) {
    return n >= 1.0 && n <= kMostRadiators && n == std::floor(n);
}

bool blank(const Str255& text) {
    return text.view().find_first_not_of(' ') == std::string_view::npos;
}

// A number text without the blank in front of a positive number.
std::string plain(double x, int scale) {
    const std::string text = RoundedPSstr(x + 0.0, scale);
    return text.starts_with(' ') ? text.substr(1) : text;
}

// Grams to one decimal, always shown (" 3.0"); -0 reads 0.
Str255 gramsText(double x) {
    return PlusCommaZero(roundedText(RoundToScale(x, 10) + 0.0, 10), 1);
}

// The same without the blank ("3.0"), for a sentence.
std::string grams(double x) {
    const Str255 text = gramsText(x);
    return std::string(text.view().substr(text.view().starts_with(' ') ? 1 : 0));
}

std::string resultLine(const AddMassResult& r) {
    if (r.alreadyBelow()) {
        return "Already below the target: remove " + grams(-r.addedMass) +
               " g or choose another model";
    }
    return "Add " + grams(r.addedMass) + " g to each passive radiator";
}

void appendLine(std::string& out, std::string_view name, const std::string& value,
                std::string_view unit = {}) {
    out.append(name).append(": ").append(value);
    if (!unit.empty()) {
        out.append(" ").append(unit);
    }
    out.push_back('\n');
}

} // namespace

double MmsFromVap(double fp, double vap, double sd) {
    const double sdd = sd / 10000.0; // cm² to m²
    return 1000.0 * kVapConstant * (sdd * sdd) / ((fp * fp) * vap);
}

bool AddMassResult::alreadyBelow() const {
    return RoundToScale(addedMass, 10) < 0.0;
}

CalcOutcome AddMassFormula(const AddMassInput& in, AddMassResult& out) {
    const bool targetKnown = in.box ? positive(in.vb) && positive(in.fb) : positive(in.targetFp);
    const bool driverKnown = !in.driverVd || *in.driverVd >= 0.0; // NaN fails too
    if (!positive(in.fp) || !positive(in.mms) || !positive(in.vap) || !targetKnown ||
        !radiatorCount(in.count) || !driverKnown) {
        return CalcOutcome::Refused;
    }
    AddMassResult r;
    if (in.box) {
        const double stiffening = 1.0 + in.count * in.vap / in.vb;
        const double ratio = in.fp / in.fb;
        r.addedMass = in.mms * stiffening * (ratio * ratio) - in.mms;
    } else {
        const double ratio = in.fp / in.targetFp;
        r.addedMass = in.mms * (ratio * ratio - 1.0);
    }
    r.resultingFp = in.fp * std::sqrt(in.mms / (in.mms + r.addedMass));
    r.totalVd = in.count * in.vd;
    if (in.driverVd && *in.driverVd > 0.0) {
        r.vdRatio = r.totalVd / *in.driverVd;
    }
    if (!std::isfinite(r.addedMass) || !std::isfinite(r.resultingFp) || !std::isfinite(r.totalVd) ||
        (r.vdRatio && !std::isfinite(*r.vdRatio))) {
        return CalcOutcome::NotFinite;
    }
    out = r;
    return CalcOutcome::Computed;
}

CalcOutcome MmsCalc(AppState& app, const CalcFields& fields) {
    CalcWorkingSet& c = app.calc;
    readField(fields.field74, c.s_FS5, c.FS5);
    readField(fields.field75, c.s_VAS5, c.VAS5);
    readField(fields.field76, c.s_SD5, c.SD5);
    if (!positive(c.FS5) || !positive(c.VAS5) || !positive(c.SD5)) {
        return refuse(app);
    }
    const double mms = MmsFromVap(c.FS5, c.VAS5, c.SD5);
    if (!std::isfinite(mms)) {
        return refuse(app, CalcOutcome::NotFinite);
    }
    c.UncalcFlag = false;
    c.MMS5 = mms;
    c.s_MMS5 = roundedText(mms, 10);
    return CalcOutcome::Computed;
}

void TransToSheetMms(AppState& app) {
    app.table.setValue(Param::Mms, app.sel.cellV, RoundToScale(app.calc.MMS5, 10));
    CalcParaChang(app);
}

CalcOutcome AddMassCalc(AppState& app, const CalcFields& fields, AddMassRun& run) {
    CalcWorkingSet& c = app.calc;
    AddMassInput in;
    in.box = c.AddMassRadioID == 2;
    readField(fields.field74, c.s_FS5, in.fp);
    readField(fields.field75, c.s_MMS5, in.mms);
    readField(fields.field76, c.s_VAS5, in.vap);
    readField(fields.field108, c.s_TGFP5, in.targetFp);
    readField(fields.field109, c.s_VB5, in.vb);
    readField(fields.field110, c.s_NPR5, in.count);
    readField(fields.field111, c.s_FB5, in.fb);
    c.s_DRVD5 = fields.field112;
    if (!blank(c.s_DRVD5)) {
        in.driverVd = fieldNumber(c.s_DRVD5);
    }
    in.vd = app.table.value(Param::Vd, app.sel.cellV);

    AddMassResult out;
    const CalcOutcome outcome = AddMassFormula(in, out);
    if (outcome != CalcOutcome::Computed) {
        return refuse(app, outcome);
    }
    c.UncalcFlag = false;
    const bool below = out.alreadyBelow();
    c.s_ADDM5 = below ? Str255() : gramsText(out.addedMass);
    c.s_NEWFP5 = below ? Str255() : roundedText(out.resultingFp, 100);
    c.s_TOTVD5 = roundedText(out.totalVd, 100);
    c.s_VDRAT5 = out.vdRatio ? roundedText(*out.vdRatio, 100) : Str255();
    c.s_ADDMSG5 = Str255(std::string_view(resultLine(out)));
    run = {in, out};
    return CalcOutcome::Computed;
}

void ClearAddMassResults(AppState& app) {
    CalcWorkingSet& c = app.calc;
    c.s_ADDM5 = c.s_NEWFP5 = c.s_TOTVD5 = c.s_VDRAT5 = c.s_ADDMSG5 = Str255();
}

std::string AddMassResultsText(const AddMassRun& run, const AppState& app) {
    const AddMassInput& in = run.in;
    const AddMassResult& out = run.out;
    const std::int32_t row = app.sel.cellV;
    std::string s;
    appendLine(s, "Model",
               std::string(app.table.Manufacturer.get(row)) + " " +
                   std::string(app.table.ModelName.get(row)));
    appendLine(s, "Fp", plain(in.fp, 100), "Hz");
    appendLine(s, "Mms", plain(in.mms, 10), "g");
    appendLine(s, "Vap", plain(in.vap, 100), "Liter");
    appendLine(s, "Passive radiators", plain(in.count, 10));
    if (in.box) {
        appendLine(s, "Box volume Vb", plain(in.vb, 100), "Liter");
        appendLine(s, "Box tuning Fb", plain(in.fb, 100), "Hz");
    } else {
        appendLine(s, "Target Fp", plain(in.targetFp, 100), "Hz");
    }
    if (out.alreadyBelow()) {
        appendLine(s, "Result", resultLine(out));
    } else {
        appendLine(s, "Added mass per radiator", grams(out.addedMass), "g");
        appendLine(s, "Resulting Fp", plain(out.resultingFp, 100), "Hz");
    }
    appendLine(s, "Total Vd", plain(out.totalVd, 100), "cm^3");
    if (in.driverVd) {
        appendLine(s, "Driver Vd", plain(*in.driverVd, 100), "cm^3");
    }
    if (out.vdRatio) {
        appendLine(s, "Total Vd / driver Vd", plain(*out.vdRatio, 100));
    }
    return s;
}

} // namespace kestrune
