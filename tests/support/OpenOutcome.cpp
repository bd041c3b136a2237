#include "support/OpenOutcome.h"

namespace furlox::test {

OpenOutcome OpenArchive(const std::filesystem::path& archive, const std::filesystem::path& work,
                        archive::ArchiverProgress* progress, std::chrono::milliseconds patience)
{
    OpenOutcome outcome;
    try {
        archive::OpenedDay opened = app::OpenDataArchive(archive, work, progress, patience);
        outcome.status = Opened::Day;
        outcome.message = opened.refusals;
        outcome.day = std::move(opened.loaded.day);
        outcome.warnings = std::move(opened.loaded.warnings);
    } catch (const archive::NotADayError& e) {
        outcome.status = Opened::NotADay;
        outcome.message = e.what();
    } catch (const Error& e) {
        outcome.status = Opened::Failed;
        outcome.message = e.what();
    }
    return outcome;
}

} // namespace furlox::test
