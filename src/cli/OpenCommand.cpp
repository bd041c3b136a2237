#include <iostream>

#include "app/KeepDay.h"
#include "app/OpenDataArchive.h"
#include "archive/ArchiverProgress.h"
#include "base/Encoding.h"
#include "cli/Cli.h"

namespace furlox::cli {

int CmdOpen(const Context& ctx)
{
    if (ctx.args.size() != 1) {
        std::cerr << "usage: furlox-cli [--workdir DIR] open ARCHIVE\n";
        return 2;
    }
    // Progress is for a person watching: one line on the terminal, rewritten in place, and
    // nothing at all when stderr is a file or a pipe. stdout carries only the race list.
    archive::ArchiverProgress progress;
    std::size_t shownWidth = 0; // of the progress line on screen, to blank it out
    // Carriage return and blanks rather than terminal escapes: every console knows them.
    auto rewrite = [&shownWidth](const std::string& text) {
        std::cerr << '\r' << text;
        if (text.size() < shownWidth) {
            std::cerr << std::string(shownWidth - text.size(), ' ') << '\r' << text;
        }
        std::cerr << std::flush;
        shownWidth = text.size();
    };
    if (StderrIsTerminal()) {
        progress.Updated = [&progress, &rewrite] {
            const archive::ProgressView& view = progress.View();
            rewrite(view.lblCount + ' ' + Printable(view.lblSrcFileName1));
        };
    }
    // The result replaces the progress line, whatever the result.
    const auto endProgressLine = [&] {
        if (shownWidth > 0) {
            rewrite("");
        }
    };
    try {
        const std::filesystem::path archivePath = Utf8Path(ctx.args.front());
        const archive::OpenedDay opened = app::OpenDataArchive(archivePath, ctx.workDir, &progress);
        endProgressLine();
        if (!opened.refusals.empty()) {
            PrintError(opened.refusals);
        }
        // The day is open whatever the library says; what it says goes to stderr.
        const std::string notKept = app::KeepOpenedDay(archivePath, ctx.workDir, opened.loaded.day);
        if (!notKept.empty()) {
            PrintError(notKept);
        }
        PrintRaceList(opened.loaded);
        return 0;
    } catch (const app::NotADayError& e) {
        endProgressLine();
        PrintError(e.what());
        return 2;
    } catch (...) {
        endProgressLine();
        throw;
    }
}

} // namespace furlox::cli
