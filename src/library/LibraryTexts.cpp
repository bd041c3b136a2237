#include "library/LibraryTexts.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "base/Encoding.h"
#include "kol/KolHen.h"

namespace furlox::library {
namespace {

std::string Cp932(const char* utf8)
{
    return ToCp932(utf8);
}

std::string TwoDigits(int value)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02d", value);
    return text;
}

// Tenths as "34.5"; minutes as "1.34.5" like the past-run grid.
std::string TenthsText(int tenths)
{
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

std::string TimeText(int tenths)
{
    const int minutes = tenths / 600;
    const int rest = tenths % 600;
    char text[16];
    std::snprintf(text, sizeof text, "%d.%02d.%d", minutes, rest / 10, rest % 10);
    return text;
}

std::string SurfaceText(StoredSurface surface)
{
    switch (surface) {
    case StoredSurface::Dirt:
        return Cp932("ダ");
    case StoredSurface::Steeplechase:
        return Cp932("障");
    case StoredSurface::Turf:
        break;
    }
    return Cp932("芝");
}

} // namespace

std::string FinishText(int finish)
{
    switch (finish) {
    case 31:
        return Cp932("落馬");
    case 32:
        return Cp932("失格");
    case 33:
        return Cp932("中止");
    case 34:
        return Cp932("取消");
    case 35:
        return Cp932("除外");
    default:
        return finish > 0 ? std::to_string(finish) + Cp932("着") : std::string();
    }
}

std::string PopularityText(int popularity)
{
    if (popularity == 34 || popularity == 35) {
        return FinishText(popularity);
    }
    return popularity > 0 ? std::to_string(popularity) + Cp932("人") : std::string();
}

std::string CourseText(int code)
{
    return kol::CourseName(TwoDigits(code));
}

std::string WeekdayText(Date date)
{
    static const std::array<const char*, 7> names = {"日", "月", "火", "水", "木", "金", "土"};
    const std::chrono::weekday weekday{std::chrono::sys_days(date)};
    return Cp932(names[weekday.c_encoding()]);
}

std::string CoursesText(const DaySummary& day)
{
    std::string text;
    std::vector<int> seen;
    for (int code : day.courseCodes) {
        if (std::find(seen.begin(), seen.end(), code) != seen.end()) {
            continue;
        }
        seen.push_back(code);
        if (!text.empty()) {
            text += ' ';
        }
        text += CourseText(code);
    }
    return text;
}

const std::string& HistoryHeader(int column)
{
    static const std::array<std::string, kHistoryColumns> headers = {
        Cp932("日付"), Cp932("場"),         Cp932("レース"), Cp932("クラス"), Cp932("距離"),
        Cp932("馬場"), Cp932("頭数・馬番"), Cp932("着順"),   Cp932("人気"),   Cp932("タイム"),
        Cp932("着差"), Cp932("上り3F"),     Cp932("FX値")};
    static const std::string none;
    return column >= 0 && column < kHistoryColumns ? headers[static_cast<std::size_t>(column)]
                                                   : none;
}

std::array<std::string, kHistoryColumns> HistoryCells(const HistoryRun& run)
{
    std::array<std::string, kHistoryColumns> c;
    c[0] = DateText(run.date);
    c[1] = CourseText(run.courseCode);
    const std::string name = ToCp932(run.raceName);
    if (run.raceNumber) {
        c[2] = std::to_string(*run.raceNumber) + "R" + (name.empty() ? "" : " " + name);
    } else {
        c[2] = name;
    }
    c[3] = run.source == HistoryRun::Source::Race
               ? kol::ClassText(run.classCode)
               : kol::PastClassText(run.classCode, run.gradeCode);
    if (run.distance) {
        c[4] = SurfaceText(run.surface) + std::to_string(*run.distance) + "m";
    }
    if (!run.goingCode.empty()) {
        c[5] = kol::GoingText(run.goingCode);
    }
    if (run.headCount || run.horseNumber) {
        if (run.headCount) {
            c[6] = std::to_string(*run.headCount) + Cp932("頭");
        }
        if (run.horseNumber) {
            c[6] += ' ';
            c[6] += std::to_string(*run.horseNumber) + Cp932("番");
        }
    }
    if (run.finish) {
        c[7] = FinishText(*run.finish);
    }
    if (run.popularity) {
        c[8] = PopularityText(*run.popularity);
    }
    if (run.timeTenths && *run.timeTenths > 0) {
        c[9] = TimeText(*run.timeTenths);
        if (run.margin) {
            // As the past-run grid: 998 is no gap, the winner's lead is a negative gap.
            int margin = *run.margin == 998 ? 0 : *run.margin;
            if (run.finish == 1) {
                margin = -margin;
            }
            c[10] = margin < 0 ? "-" : "";
            c[10] += TenthsText(std::abs(margin));
        }
    }
    if (run.last3fTenths && *run.last3fTenths > 0) {
        c[11] = TenthsText(*run.last3fTenths);
    }
    if (run.fx) {
        c[12] = std::to_string(*run.fx);
    }
    return c;
}

std::string HistoryChartLabel(const HistoryRun& run)
{
    const unsigned month = static_cast<unsigned>(run.date.month());
    const unsigned day = static_cast<unsigned>(run.date.day());
    return TwoDigits(static_cast<int>(month)) + "/" + TwoDigits(static_cast<int>(day)) + "\n" +
           CourseText(run.courseCode);
}

} // namespace furlox::library
