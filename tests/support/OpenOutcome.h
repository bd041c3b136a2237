#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "app/OpenDataArchive.h"

// The open-archive flow as one answer for the tests: what became of an archive (a new day,
// not a day, a failure), with the message the user gets.
namespace furlox::test {

enum class Opened
{
    Day,     // the day came in; its files are in the work directory
    NotADay, // refused as no whole race day (the CLI's exit code 2)
    Failed,  // any other error
};

struct OpenOutcome
{
    Opened status = Opened::Failed;
    std::string message; // CP932: the entries left out (Day), or the error
    kol::RaceDay day;    // the new day (Day)
    std::vector<std::string> warnings;
};

OpenOutcome OpenArchive(const std::filesystem::path& archive, const std::filesystem::path& work,
                        archive::ArchiverProgress* progress = nullptr,
                        std::chrono::milliseconds patience = kol::kWorkDirPatience);

} // namespace furlox::test
