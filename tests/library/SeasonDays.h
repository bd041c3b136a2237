#pragma once

#include <string>
#include <vector>

#include "support/KolBuilder.h"
#include "support/LhaWriter.h"

// Small race days with chosen dates and horses for the season library's tests.
namespace furlox::test {

struct SeasonHorse
{
    std::string name;          // UTF-8, as the entry record's name field holds it (blanks included)
    std::vector<PastRun> runs; // block 0 (the latest run) first
};

// One race on `date` ("YYYYMMDD") at course `course` with these runners.
inline KolBuilder SeasonDay(const std::string& date, const std::vector<SeasonHorse>& horses,
                            const std::string& course = "05", const std::string& race = "11")
{
    KolBuilder b;
    b.AddRace()
        .Set(kol::race::kYear, date.substr(0, 4))
        .Set(kol::race::kMonth, date.substr(4, 2))
        .Set(kol::race::kDay, date.substr(6, 2))
        .Set(kol::race::kCourseCode, course)
        .Set(kol::race::kRaceNumber, race);
    for (const SeasonHorse& horse : horses) {
        Runner& runner = b.AddRunner();
        runner.SetEntry(kol::entry::kHorseName, horse.name);
        for (std::size_t k = 0; k < horse.runs.size(); ++k) {
            runner.Run(static_cast<int>(k), horse.runs[k]);
        }
    }
    return b;
}

inline std::string ArchiveOf(const KolBuilder& b)
{
    const kol::SampleFiles files = b.Files();
    return MakeLhaFiles({{"kol_den1.kd2", files.raceFile},
                         {"kol_den2.kd2", files.entryFile},
                         {"kol_uma.kd2", files.horseFile}});
}

// A past run at a course on a month and day, finishing `finish`.
inline PastRun RunOn(const std::string& course, const std::string& month, const std::string& day,
                     const std::string& finish = "03")
{
    PastRun run;
    run.course = course;
    run.month = month;
    run.day = day;
    run.finish = finish;
    run.figureFinish = finish;
    return run;
}

} // namespace furlox::test
