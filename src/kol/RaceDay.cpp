#include "kol/RaceDay.h"

#include "base/Encoding.h"
#include "base/Error.h"
#include "base/Platform.h"
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

std::string CutNotice(const std::string& fileName, std::size_t total, int kept, bool races)
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

std::string SizeNotice(const std::string& fileName, std::uintmax_t read)
{
    return "データファイル("_sj + fileName +
           ")は 1 日分のデータとしては大きすぎるため、先頭の "_sj + std::to_string(read) +
           " バイトだけを読み込みました。"_sj;
}

// The lines of one file, with the warnings of what was cut.
std::vector<std::string> ReadLines(const std::filesystem::path& path, int maxLines, bool races,
                                   std::vector<std::string>& warnings)
{
    KolFileRead read = ReadKolFile(path, static_cast<std::size_t>(maxLines));
    // The file's name is made only for a warning: a whole day, the usual case, needs none.
    const auto name = [&path] { return EscapeControlBytes(PathText(path.filename())); };
    if (read.cutAtSize) {
        warnings.push_back(SizeNotice(name(), read.bytesRead));
    }
    if (read.lines.total > static_cast<std::size_t>(maxLines)) {
        warnings.push_back(CutNotice(name(), read.lines.total, maxLines, races));
    }
    return std::move(read.lines.lines);
}

} // namespace

DayFiles DayFiles::In(const std::filesystem::path& folder)
{
    return {folder / kRaceFileName, folder / kEntryFileName, folder / kHorseFileName};
}

std::optional<LoadedDay> LoadKolFiles(const std::filesystem::path& workDir)
{
    return LoadKolFiles(DayFiles::In(workDir));
}

std::optional<LoadedDay> LoadKolFiles(const DayFiles& files)
{
    for (const std::filesystem::path* path :
         {&files.raceFile, &files.entryFile, &files.horseFile}) {
        std::error_code ec;
        if (!std::filesystem::exists(*path, ec) &&
            platform::KindOf(*path) == platform::EntryKind::None) {
            return std::nullopt;
        }
    }
    LoadedDay loaded;
    RaceDay& day = loaded.day;
    day.raceLines = ReadLines(files.raceFile, kMaxRaces, true, loaded.warnings);
    day.races.reserve(day.raceLines.size());
    for (const std::string& line : day.raceLines) {
        day.races.push_back(ParseRaceRecord(line));
    }
    day.entryLines = ReadLines(files.entryFile, kMaxEntryLines, false, loaded.warnings);
    day.horseLines = ReadLines(files.horseFile, kMaxEntryLines, false, loaded.warnings);
    return loaded;
}

} // namespace furlox::kol
