#include <iostream>

#include "app/OpenDataArchive.h"
#include "app/WorkDir.h"
#include "archive/ArchiverProgress.h"
#include "base/Encoding.h"
#include "cli/Cli.h"

namespace furlox::cli {
namespace {

// Messages carry CR LF line breaks for message boxes; a terminal wants LF.
std::string WithoutCarriageReturns(std::string text)
{
    std::erase(text, '\r');
    return text;
}

} // namespace

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
            rewrite(view.lblCount + ' ' + ToUtf8(view.lblSrcFileName1));
        };
    }
    kol::RaceDay day;
    const app::OpenArchiveResult result =
        app::OpenDataArchive(ctx.args.front(), ctx.workDir, day, &progress);
    if (shownWidth > 0) {
        rewrite(""); // the result replaces the progress line
    }
    switch (result.status) {
    case app::OpenArchiveResult::Status::NoData:
        PrintError(WithoutCarriageReturns(result.message));
        return 2;
    case app::OpenArchiveResult::Status::Failed:
        PrintError(WithoutCarriageReturns(result.message));
        return 1;
    case app::OpenArchiveResult::Status::Extracted:
        break;
    }
    if (!result.message.empty()) {
        PrintError(WithoutCarriageReturns(result.message));
    }
    if (!result.load.loaded) {
        PrintError(NoRaceDataMessage(ctx.workDir));
        return 1;
    }
    PrintRaceList(result.load, day);
    return 0;
}

} // namespace furlox::cli
