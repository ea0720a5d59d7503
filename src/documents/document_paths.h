#pragma once
// Where a document named on the command line or handed over lives. Paths are
// the bytes the file system holds (not necessarily UTF-8) and are kept so.

#include <string>
#include <string_view>

namespace kestrune {

// The absolute path for an argument: a path relative to workingFolder, an
// absolute path, or a local file:// URI (percent-decoded to bytes). Empty
// when there is none: a relative path without a working folder, a URI of
// another host or scheme, or an empty argument.
std::string DocumentPathFromArgument(std::string_view argument, std::string_view workingFolder);

} // namespace kestrune
