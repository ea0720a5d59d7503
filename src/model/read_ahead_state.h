#pragma once
// A document read on other threads while the launch timer runs, so that the
// one given on the command line is ready when its turn comes.

#include "model/model_table.h"
#include "runtime/file_probe.h"
#include "runtime/work_progress.h"

#include <future>
#include <memory>
#include <optional>
#include <string>

namespace kestrune {

struct ReadAhead {
    std::string path;
    bool document = true; // else a table to import
    // The file as it was before the read began.
    FileIdentity identity;
    // The table, when the read went through without a single file error and
    // the file was the same after it; nothing otherwise.
    std::future<std::optional<ModelTable>> table;
    // How far the read has come; cancelling it ends the read early.
    std::shared_ptr<WorkProgress> progress = std::make_shared<WorkProgress>();
};

} // namespace kestrune
