#pragma once

#include <QString>

namespace tarnwick::cli {

// `tarnwick --help`: every way to start Tarnwick and the options of --print, in the user's
// language, wrapped to `width` columns.
QString helpText(int width = 79);
// `tarnwick --print --help`: its operands and options in detail, its output, JSON fields and
// exit statuses.
QString printHelpText(int width = 79);
// `tarnwick --version`: "tarnwick VERSION".
QString versionText();

}  // namespace tarnwick::cli
