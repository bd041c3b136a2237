#pragma once

#include <QString>
#include <filesystem>
#include <optional>

// `furlox --pdf FILE (--all | --race N)`: the day's race card written as a PDF without a
// window, for scripts and scheduled jobs.
namespace furlox::ui {

// True when the command line asks for a PDF; the program then needs no display, so the
// caller picks the offscreen platform before the application object exists.
bool PdfRequested(int argc, char** argv);

// Loads the race day of `workDir` and writes the card of every race (`all`) or of race
// `race` (0-based, as given) to `file`. Messages go to stderr. Returns the exit code of
// furlox-cli: 0 written, 1 failed or a race could not be analysed (the file is written
// with that race's page saying so), 2 a usage error.
int RunPdfCommand(const std::filesystem::path& workDir, const QString& file, bool all,
                  const std::optional<QString>& race);

} // namespace furlox::ui
