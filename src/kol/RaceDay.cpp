#include "kol/RaceDay.h"

#include "base/Encoding.h"
#include "base/Error.h"
#include "kol/KolHen.h"
#include "kol/KolRecords.h"
#include "kol/LineReader.h"

namespace furlox::kol {

RaceTexts ParseRaceRecord(std::string_view line)
{
    RaceTexts t;
    auto f = [line](FieldPos pos) { return Field(line, pos); };

    t.dateText = std::string(f(race::kYear)) + "/" + std::string(f(race::kMonth)) + "/" +
                 std::string(f(race::kDay)) + WeekdayText(f(race::kWeekdayCode));
    t.meetingText = std::string(f(race::kMeetingNumber)) + std::string(f(race::kMeetingDay));
    t.headCountText = f(race::kHeadCount);
    t.startLine =
        t.dateText + " 発走"_sj + std::string(f(race::kPostTime)) + " " + t.headCountText + "頭"_sj;

    t.courseCode = ReadCourseCode(f(race::kCourseCode));
    t.raceNumberText = f(race::kRaceNumber);
    t.raceNumber = LenientNumber(t.raceNumberText);
    t.date = {LenientNumber(f(race::kYear)), LenientNumber(f(race::kMonth)),
              LenientNumber(f(race::kDay))};
    t.meetingNumber = LenientNumber(f(race::kMeetingNumber));
    t.meetingDay = LenientNumber(f(race::kMeetingDay));

    const std::string& course = CourseName(f(race::kCourseCode));
    t.raceKindText = RaceKindText(f(race::kRaceKindCode));
    const RaceClass raceClass = ReadClassCode(f(race::kClassCode));
    const std::string classText = ClassText(raceClass);
    t.weightTermsText = WeightTermsText(f(race::kWeightTermsCode));
    const std::string_view raceName = Trim(f(race::kRaceName));
    const Grade grade = ReadGradeCode(f(race::kGradeCode));
    const std::string& gradeText = GradeText(grade);
    t.surface = ReadSurface(f(race::kSteeplechaseFlag), f(race::kTurfFlag));
    t.surfaceText = SurfaceText(t.surface);
    t.distanceText = f(race::kDistance);
    t.distance = LenientNumber(t.distanceText);

    const std::string common = course + t.raceNumberText + "R " + t.raceKindText + " " + classText;
    t.raceHeader = common + " " + t.weightTermsText + " " + std::string(raceName) + " " +
                   gradeText + t.surfaceText + t.distanceText + "M";
    t.menuCaption = common + " " + std::string(raceName) + " " + gradeText;

    // Steeplechase grades (JG1 …) give no label of their own.
    t.label = MakeGradeLabel(grade, raceClass);
    t.gradeLabel = t.label.grade == Grade::None ? classText : GradeLabelText(t.label);
    return t;
}

std::string_view RaceDay::EntryLine(int j) const
{
    return j >= 0 && j < static_cast<int>(entryLines.size()) ? entryLines[j] : std::string_view{};
}

std::string_view RaceDay::HorseLine(int j) const
{
    return j >= 0 && j < static_cast<int>(horseLines.size()) ? horseLines[j] : std::string_view{};
}

int HeadCount(const RaceDay& day, int raceIndex)
{
    if (raceIndex < 0 || raceIndex >= static_cast<int>(day.races.size())) {
        // No such race: its head count field is empty, which is not a number.
        return StrictNumber("");
    }
    return StrictNumber(day.races[raceIndex].headCountText);
}

int FirstEntryIndex(const RaceDay& day, int raceIndex)
{
    long first = 0;
    for (int i = 0; i < raceIndex && i < day.RaceCount(); ++i) {
        first += HeadCount(day, i);
    }
    // Negative or absurd head counts must not turn into a wild index.
    if (first < 0) {
        return -1;
    }
    return first > kMaxEntryLines * 1000L ? kMaxEntryLines * 1000 : static_cast<int>(first);
}

namespace {

std::string CutNotice(const char* fileName, std::size_t total, int kept, bool races)
{
    if (races) {
        return "レースファイル("_sj + fileName + ")には "_sj + std::to_string(total) +
               " レース分のデータがありますが、表示できるのは "_sj + std::to_string(kept) +
               " レースまでです。先頭の "_sj + std::to_string(kept) +
               " レースだけを読み込みました。"_sj;
    }
    return "データファイル("_sj + fileName + ")には "_sj + std::to_string(total) +
           " 行のデータがありますが、読み込めるのは "_sj + std::to_string(kept) +
           " 行までです。先頭の "_sj + std::to_string(kept) + " 行だけを読み込みました。"_sj;
}

} // namespace

LoadOutcome LoadKolFiles(const std::filesystem::path& workDir, RaceDay& day)
{
    LoadOutcome outcome;
    const char* names[] = {kRaceFileName, kEntryFileName, kHorseFileName};
    for (const char* name : names) {
        std::error_code ec;
        if (!std::filesystem::exists(workDir / name, ec)) {
            return outcome;
        }
    }

    RaceDay fresh;
    std::optional<std::string> error;

    KolFileRead races = ReadKolFile(workDir / kRaceFileName, kMaxRaces);
    fresh.raceLines = std::move(races.lines.lines);
    fresh.races.reserve(fresh.raceLines.size());
    for (const std::string& line : fresh.raceLines) {
        fresh.races.push_back(ParseRaceRecord(line));
    }
    if (races.lines.total > static_cast<std::size_t>(kMaxRaces)) {
        outcome.notices.push_back(CutNotice(kRaceFileName, races.lines.total, kMaxRaces, true));
    }
    error = races.error;

    auto readLines = [&](const char* name, std::vector<std::string>& into) {
        if (error) {
            return;
        }
        KolFileRead read = ReadKolFile(workDir / name, kMaxEntryLines);
        into = std::move(read.lines.lines);
        if (read.lines.total > static_cast<std::size_t>(kMaxEntryLines)) {
            outcome.notices.push_back(CutNotice(name, read.lines.total, kMaxEntryLines, false));
        }
        error = read.error;
    };
    readLines(kEntryFileName, fresh.entryLines);
    readLines(kHorseFileName, fresh.horseLines);

    day = std::move(fresh);
    outcome.loaded = true;
    if (error) {
        throw Error(*error);
    }
    return outcome;
}

} // namespace furlox::kol
