#pragma once
// The values the calculators work on: a text and a number per parameter,
// filled from the selected row and written back on OK.

#include "ports/window_views.h"
#include "runtime/str255.h"

#include <cstdint>

namespace kestrune {

struct CalcWorkingSet {
    Str255 s_Manuf5;
    Str255 s_SP5;
    Str255 s_DIA5;
    Str255 s_FS5;
    Str255 s_VAS5;
    Str255 s_QMS5;
    Str255 s_SD5;
    Str255 s_XMAX5;
    Str255 s_VD5;
    Str255 s_MMS5;
    Str255 s_EFDIA5;
    Str255 s_FTMin;
    Str255 s_FTMout;
    double DIA5 = 0.0;
    double FS5 = 0.0;
    double VAS5 = 0.0;
    double QMS5 = 0.0;
    double SD5 = 0.0;
    double XMAX5 = 0.0;
    double VD5 = 0.0;
    double MMS5 = 0.0;
    double EFDIA5 = 0.0;
    double SDD = 0.0;
    double FTMin = 0.0;
    double DIAinch = 0.0;
    double VASft = 0.0;
    double SDinch = 0.0;
    double XMAXinch = 0.0;
    double VDinch = 0.0;
    // True means the last calculation REFUSED its input (it beeped and
    // changed nothing); false that it calculated.
    bool UncalcFlag = false;
    std::int32_t VdRadioID = 1; // 1 cm², 2 m²
    std::int32_t tabItem = 1;   // Feet to Metric: 1 Dia, 2 Vap, 3 Sd, 4 Xmax, 5 Vd
    std::int32_t keepBtn1 = 0;
    std::int32_t keepBtn2 = 0;
    std::int32_t keepBtn3 = 0;
    std::int32_t keepBtn4 = 0;
    std::int32_t keepBtn5 = 0;
    // Add Mass: the target and the box, kept from one opening to the next
    // (a box is tried with one radiator after another), and the results.
    std::int32_t AddMassRadioID = 1; // 1 a free-air resonance, 2 a box tuning
    Str255 s_TGFP5{" 0"};            // the free-air resonance to reach
    Str255 s_VB5{" 0"};              // the box's net volume
    Str255 s_NPR5{" 1"};             // passive radiators in the box, 1 to 8
    Str255 s_FB5{" 0"};              // the box tuning
    Str255 s_DRVD5;                  // the driver's Vd; empty when not given
    Str255 s_ADDM5;                  // mass to add to each radiator
    Str255 s_NEWFP5;                 // the radiator's Fp with that mass
    Str255 s_TOTVD5;                 // N × Vd
    Str255 s_VDRAT5;                 // N × Vd over the driver's Vd
    Str255 s_ADDMSG5;                // the line under the results
    // 1 while a calculator window is open.
    std::int8_t CalcWndOnFlag = 0;
    // Feet to Metric: 1 means the input WAS converted (set by every Calc.),
    // so OK need not convert it; cleared on opening and at every change of
    // quantity. It cancels nothing.
    std::int8_t FTMCancelFlag = 0;
    // The open calculator window as it is shown (calcItemID 0: none).
    CalculatorView window;

    bool convertedSinceQuantityChange() const { return FTMCancelFlag != 0; }
};

} // namespace kestrune
