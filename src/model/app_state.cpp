#include "model/app_state.h"

#include "runtime/file_errors.h"

namespace kestrune {

double& RowSnapshot::value(Param p) {
    switch (p) {
    case Param::Dia:
        return preDIA;
    case Param::Fp:
        return preFS;
    case Param::Vap:
        return preVAS;
    case Param::Qmp:
        return preQMS;
    case Param::Sd:
        return preSD;
    case Param::Xmax:
        return preXMAX;
    case Param::Vd:
        return preVD;
    case Param::Mms:
        break;
    }
    return preMMS;
}

AppState::AppState(Platform& platform)
    : table(&onFatal_), platform_(platform),
      onFatal_([this](const std::string& message) { platform_.showFatalAlert(message); }) {
    files.setErrorHandler([this](int fileNumber, int code) {
        platform_.showFileErrorAlert(fileNumber, FileErrorMessage(fileNumber, code));
    });
}

AppState::~AppState() {
    readAhead.reset();
}

namespace {

// Wraps an answer so that the dialog counts as up until it arrives.
template <typename Answer>
std::function<void(Answer)> counted(AppFlags& flags, std::function<void(Answer)> done) {
    ++flags.DialogsUp;
    return [&flags, done = std::move(done)](Answer answer) {
        --flags.DialogsUp;
        done(std::move(answer));
    };
}

} // namespace

void AppState::askSaveChanges(const std::string& fileName,
                              std::function<void(SaveChangesAnswer)> done) {
    platform_.askSaveChanges(fileName, counted(flags, std::move(done)));
}

void AppState::askChangedFile(const std::string& fileName,
                              std::function<void(ChangedFileAnswer)> done) {
    platform_.askChangedFile(fileName, counted(flags, std::move(done)));
}

void AppState::askSaveFile(const std::string& title, const std::string& proposedName,
                           const std::string& extension, std::function<void(FileChoice)> done) {
    platform_.askSaveFile(title, proposedName, extension, counted(flags, std::move(done)));
}

void AppState::askSaveFileOfType(const std::string& title, const std::string& proposedName,
                                 const std::vector<SaveFileType>& types,
                                 std::function<void(FileChoice, std::size_t)> done) {
    // Counted as the other dialogs are, through a choice that carries both.
    using Typed = std::pair<FileChoice, std::size_t>;
    auto delivered = counted(flags, std::function<void(Typed)>([done = std::move(done)](Typed t) {
                                 done(std::move(t.first), t.second);
                             }));
    platform_.askSaveFileOfType(title, proposedName, types,
                                [delivered = std::move(delivered)](FileChoice c, std::size_t k) {
                                    delivered({std::move(c), k});
                                });
}

void AppState::askOpenFile(const std::string& title, const std::vector<std::string>& extensions,
                           std::function<void(FileChoice)> done) {
    platform_.askOpenFile(title, extensions, counted(flags, std::move(done)));
}

void AppState::ClearParameterArraySheetFile() {
    const std::int32_t last = table.fNum + 1;
    table.ensureRows(last);
    for (std::int32_t r = 0; r <= last; ++r) {
        table.emptyRow(r, false);
    }
    snap = RowSnapshot{};
    GPrintScale = 100.0;
}

void AppState::DataSwap(std::int32_t r) {
    table.swapRows(r, r - 1);
    sel.cellV = 1;
}

void AppState::NewOrAddModelInit() {
    table.Manufacturer.set(table.fNum, "n/a");
    table.ModelName.set(table.fNum, "n/a");
}

void AppState::AddModelAtEnd() {
    table.fNum += 1;
    table.ensureRows(table.fNum + 1);
    sel.cellV = table.fNum;
    sel.cellH = 1;
    NewOrAddModelInit();
    DirtyFlagTrue();
    flags.AddNewModel = 1;
    flags.SelectBtnFlag = 1;
}

void AppState::RemoveRows(std::int32_t first, std::int32_t last) {
    const std::int32_t k = last - first + 1;
    const std::int32_t n = table.fNum - k;
    table.ensureRows(table.fNum + k + 1);
    for (std::int32_t r = first; r <= table.fNum; ++r) {
        table.copyRow(r + k, r);
    }
    for (std::int32_t r = n + 1; r <= table.fNum; ++r) {
        table.emptyRow(r, true);
    }
    table.fNum = n;
    if (sel.cellV > table.fNum) {
        sel.cellV = table.fNum;
    }
    sel.ScrollValue = 0;
    if (table.fNum < 1) {
        table.fNum = 1;
        sel.cellV = 1;
        sel.cellH = 0;
        NewOrAddModelInit();
        flags.SelectBtnFlag = 1;
        platform_.SysBeep();
    }
}

void AppState::RemoveSelectedRow() {
    for (std::int32_t r = sel.cellV; r < table.fNum; ++r) {
        table.copyRow(r + 1, r);
    }
    table.emptyRow(table.fNum, true);
    table.fNum -= 1;
    if (sel.cellV > table.fNum) {
        sel.cellV = table.fNum;
    }
}

std::int32_t AppState::InsertRowAfter(std::int32_t r) {
    table.ensureRows(table.fNum + 2);
    for (std::int32_t k = table.fNum; k > r; --k) {
        table.copyRow(k, k + 1);
    }
    table.fNum += 1;
    table.emptyRow(r + 1, true);
    return r + 1;
}

void AppState::SelectLoadedSheet() {
    snap.prefNum = table.fNum;
    sel.cellH = 0;
    sel.cellV = 1;
    sel.cellVshift = 1;
    sel.ScrollValue = 0;
}

void AppState::DirtyFlagTrue() {
    doc.DirtyFlag = 1;
    platform_.setWindowModified(true);
}

void AppState::DetectSnapshotChanges() {
    const std::int32_t row = snap.preCellV;
    bool changed = table.Manufacturer.get(row) != snap.s_preManuf.view() ||
                   table.ModelName.get(row) != snap.s_preSP.view() || snap.prefNum != table.fNum;
    for (Param p : kAllParams) {
        // Any result other than equal counts, so NaN always does.
        changed = changed || !(table.value(p, row) == snap.value(p));
    }
    if (changed) {
        DirtyFlagTrue();
    }
}

void AppState::TakeSnapshot() {
    const std::int32_t row = sel.cellVscroll;
    snap.s_preManuf = Str255(table.Manufacturer.get(row));
    snap.s_preSP = Str255(table.ModelName.get(row));
    for (Param p : kAllParams) {
        snap.value(p) = table.value(p, row);
    }
    snap.prefNum = table.fNum;
}

} // namespace kestrune
