#pragma once

#include <array>
#include <string>

#include "library/Library.h"

// The texts the library's lists show: the day list's columns and a horse's history, made from
// the stored numbers and codes. Every text is CP932, like the rest of the core's texts; the
// windows convert them where they show them.
namespace furlox::library {

// The course name of a course code ("東京"); the course table's text for an unknown code.
std::string CourseText(int code);
// A finish: "3着", or the word of a code 31–35 ("落馬" … "除外"); empty for 0.
std::string FinishText(int finish);
// A popularity: "2人", or the word of 34/35; empty for 0.
std::string PopularityText(int popularity);
// "日" .. "土".
std::string WeekdayText(Date date);
// The courses of a day, each once, in the order of the day's races: "東京 京都".
std::string CoursesText(const DaySummary& day);

inline constexpr int kHistoryColumns = 13;

// The history list's column headers.
const std::string& HistoryHeader(int column);

// One run of a horse's history as the list shows it, column by column: date, course, race,
// class, surface and distance, going, field size and horse number, finish, popularity, time,
// margin, last 3 furlongs, FX value. A value the run does not have is an empty text.
std::array<std::string, kHistoryColumns> HistoryCells(const HistoryRun& run);

// The label of a run on the history chart's axis: "MM/DD" under "場".
std::string HistoryChartLabel(const HistoryRun& run);

} // namespace furlox::library
