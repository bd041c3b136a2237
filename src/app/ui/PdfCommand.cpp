#include "app/ui/PdfCommand.h"

#include <algorithm>
#include <cstring>
#include <iostream>

#include "analysis/RaceAnalysis.h"
#include "base/Encoding.h"
#include "base/Error.h"
#include "base/ui/QtText.h"
#include "kol/RaceDay.h"
#include "kol/WorkDir.h"
#include "output/RaceCard.h"
#include "output/ui/RaceCardPrinter.h"

namespace furlox::ui {
namespace {

// A message on the terminal: its CR LF line ends as LF, every other control byte escaped.
void PrintError(std::string_view cp932)
{
    std::string shown;
    for (std::size_t start = 0; start <= cp932.size();) {
        std::size_t end = std::min(cp932.find('\n', start), cp932.size());
        std::string_view line = cp932.substr(start, end - start);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        shown += EscapeControlBytes(line) + (end < cp932.size() ? "\n" : "");
        start = end + 1;
    }
    std::cerr << ToUtf8(shown) << "\n";
}

constexpr const char* kUsage = "usage: furlox [--workdir DIR] --pdf FILE (--all | --race N)\n";

} // namespace

bool PdfRequested(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--pdf") == 0 || std::strncmp(argv[i], "--pdf=", 6) == 0) {
            return true;
        }
    }
    return false;
}

int RunPdfCommand(const std::filesystem::path& workDir, const QString& file, bool all,
                  const std::optional<QString>& race)
{
    bool numberOk = true;
    const int raceIndex = race ? race->toInt(&numberOk) : 0;
    if (file.isEmpty() || all == race.has_value() || !numberOk || raceIndex < 0) {
        std::cerr << kUsage;
        return 2;
    }
    try {
        const std::optional<kol::LoadedDay> loaded = kol::LoadWorkDay(workDir);
        if (!loaded) {
            PrintError(kol::NoRaceDataMessage(workDir));
            return 1;
        }
        for (const std::string& warning : loaded->warnings) {
            PrintError(warning);
        }
        const kol::RaceDay& day = loaded->day;
        std::vector<int> races = AllRaceIndexes(day);
        if (!all) {
            if (raceIndex >= day.RaceCount()) {
                throw Error(NoSuchRaceMessage(raceIndex));
            }
            races = {raceIndex};
        }
        const std::vector<RaceCardRace> card = BuildRaceCard(day, races);
        WriteRaceCardPdf(PathOf(file), card, RaceCardSettings());
        const std::vector<std::string> failures = RaceCardFailures(card);
        for (const std::string& failure : failures) {
            PrintError(failure);
        }
        return failures.empty() ? 0 : 1;
    } catch (const Error& e) {
        PrintError(e.what());
    } catch (const std::exception& e) {
        std::cerr << "furlox: " << e.what() << "\n";
    }
    return 1;
}

} // namespace furlox::ui
