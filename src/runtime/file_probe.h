#pragma once
// Whether a file can be read at all, asked before anything is given up for
// it: a document that cannot be opened never replaces the sheet on screen.

#include <string>

namespace kestrune {

enum class FileProbe {
    Readable,
    Missing,      // no such file, or a folder on its path is missing
    NoPermission, // it exists but may not be read
    NotAFile,     // a folder, a pipe, a device
    Locked,       // another program holds its lock
};

FileProbe ProbeInputFile(const std::string& path);

// A sentence for the user saying why, e.g. "The file does not exist."
std::string FileProbeReason(FileProbe probe);

} // namespace kestrune
