#include "kol/KolHen.h"

#include <array>
#include <charconv>
#include <initializer_list>
#include <vector>

#include "base/Encoding.h"
#include "base/Error.h"

namespace furlox::kol {
namespace {

struct Row
{
    std::string_view code;
    std::string_view utf8;
};

// A code table: rows of (code, text) converted to CP932 once. Tables whose codes are all
// decimal digits of one length are indexed directly; the few others are searched.
class CodeTable
{
public:
    CodeTable(std::initializer_list<Row> rows, std::string_view fallbackUtf8,
              std::size_t textWidth = 0)
        : m_fallback(ToCp932(fallbackUtf8))
    {
        m_digitsOnly = true;
        m_codeLength = rows.size() ? rows.begin()->code.size() : 0;
        for (const Row& row : rows) {
            std::string text = ToCp932(row.utf8);
            if (textWidth) {
                text = PadRight(text, textWidth);
            }
            m_rows.push_back({std::string(row.code), std::move(text)});
            if (row.code.size() != m_codeLength || !AllDigits(row.code)) {
                m_digitsOnly = false;
            }
        }
        if (m_digitsOnly && m_codeLength <= 3) {
            std::size_t size = 1;
            for (std::size_t i = 0; i < m_codeLength; ++i) {
                size *= 10;
            }
            m_index.assign(size, -1);
            for (std::size_t i = 0; i < m_rows.size(); ++i) {
                m_index[DigitIndex(m_rows[i].first)] = static_cast<int>(i);
            }
        }
    }

    const std::string& operator()(std::string_view code) const
    {
        if (!m_index.empty()) {
            if (code.size() != m_codeLength || !AllDigits(code)) {
                return m_fallback;
            }
            int row = m_index[DigitIndex(code)];
            return row < 0 ? m_fallback : m_rows[static_cast<std::size_t>(row)].second;
        }
        for (const auto& [rowCode, text] : m_rows) {
            if (rowCode == code) {
                return text;
            }
        }
        return m_fallback;
    }

    std::size_t size() const { return m_rows.size(); }

private:
    static bool AllDigits(std::string_view s)
    {
        for (char c : s) {
            if (c < '0' || c > '9') {
                return false;
            }
        }
        return true;
    }
    static std::size_t DigitIndex(std::string_view s)
    {
        std::size_t n = 0;
        for (char c : s) {
            n = n * 10 + static_cast<std::size_t>(c - '0');
        }
        return n;
    }

    std::vector<std::pair<std::string, std::string>> m_rows;
    std::vector<int> m_index;
    std::string m_fallback;
    std::size_t m_codeLength = 0;
    bool m_digitsOnly = false;
};

const CodeTable& WeekdayTable()
{
    static const CodeTable table({{"01", "(土)"},
                                  {"02", "(日)"},
                                  {"03", "(月)"},
                                  {"04", "(火)"},
                                  {"05", "(水)"},
                                  {"06", "(木)"},
                                  {"07", "(金)"}},
                                 "(祝)");
    return table;
}

const CodeTable& RaceKindTable()
{
    static const CodeTable table({{"0", "サラ障害"},
                                  {"1", "サラ2歳"},
                                  {"2", "サラ3歳"},
                                  {"3", "サラ3歳以上"},
                                  {"4", "サラ4歳以上"},
                                  {"5", "アラブ2歳"},
                                  {"6", "アラブ3歳"},
                                  {"7", "アラブ3歳以上"},
                                  {"8", "サラ障害3歳以上"},
                                  {"9", "サラ障害4歳以上"},
                                  {"A", "アラブ4歳以上"},
                                  {"B", "サラ4歳"},
                                  {"C", "アラブ4歳"}},
                                 "");
    return table;
}

const CodeTable& WeightTermsTable()
{
    static const CodeTable table(
        {{"00", "別定"}, {"01", "馬齢"}, {"02", "ハンデ"}, {"03", "定量"}, {"90", "規定"}}, "");
    return table;
}

const CodeTable& SexTable()
{
    static const CodeTable table({{"0", "牡"}, {"1", "牝"}, {"2", "セン"}}, "");
    return table;
}

const CodeTable& GoingTable()
{
    static const CodeTable table({{"0", "良"}, {"1", "稍"}, {"2", "重"}, {"3", "不"}}, "");
    return table;
}

// Class codes with a name of their own in a race record; any other code is a "万" class.
struct NamedClass
{
    std::string_view code;
    ClassKind kind;
    std::string_view utf8;
};
constexpr NamedClass kNamedClasses[] = {
    {"00001", ClassKind::Newcomer, "新馬"},
    {"00002", ClassKind::Unraced, "未出走"},
    {"00003", ClassKind::Maiden, "未勝利"},
    {"00004", ClassKind::Open, "オープン"},
};

// The grade table, by grade: its code, the text of a race record and the text that replaces
// "オープン" in a past run's class.
struct GradeRow
{
    Grade grade;
    std::string_view code;
    std::string_view utf8;     // every text ends with one blank
    std::string_view pastUtf8; // in a past run's class
};
constexpr GradeRow kGrades[] = {
    {Grade::G1, "0", "G1 ", "G1"},     {Grade::G2, "1", "G2 ", "G2"},
    {Grade::G3, "2", "G3 ", "G3"},     {Grade::JG1, "3", "JG1 ", "J.G1"},
    {Grade::JG2, "4", "JG2 ", "J.G2"}, {Grade::JG3, "5", "JG3 ", "J.G3"},
};

const CodeTable& PastClassTable()
{
    static const CodeTable table({{"00000", "未受"},     {"00001", "新馬"},
                                  {"00002", "未出走"},   {"00003", "未勝利"},
                                  {"00004", "オープン"}, {"00005", "オープン，牝馬"},
                                  {"00006", "指定馬"},   {"00007", "勝入オープン"},
                                  {"00008", "牝馬"},     {"00009", "オーブン，牝馬，アラブ混合"},
                                  {"00010", "A"},        {"00011", "A1"},
                                  {"00012", "A2"},       {"00013", "A3"},
                                  {"00014", "A4"},       {"00020", "B"},
                                  {"00021", "B1"},       {"00022", "B2"},
                                  {"00023", "B3"},       {"00024", "B4"},
                                  {"00030", "C"},        {"00031", "C1"},
                                  {"00032", "C2"},       {"00033", "C3"},
                                  {"00034", "C4"},       {"00040", "D"},
                                  {"00041", "D1"},       {"00042", "D2"},
                                  {"00043", "D3"},       {"00044", "D4"},
                                  {"00093", "調教試験"}, {"00094", "能力試験"}},
                                 "");
    return table;
}

const CodeTable& CourseTable()
{
    static const CodeTable table(
        {
            {"00", "京都"},   {"01", "阪神"},   {"02", "中京"},   {"03", "小倉"}, {"04", "東京"},
            {"05", "中山"},   {"06", "福島"},   {"07", "新潟"},   {"08", "札幌"}, {"09", "函館"},
            {"10", "大井"},   {"11", "川崎"},   {"12", "船橋"},   {"13", "浦和"}, {"14", "岩見"},
            {"15", "旭川"},   {"16", "帯広"},   {"17", "野田"},   {"18", "北見"}, {"19", "笠松"},
            {"20", "金沢"},   {"21", "荒尾"},   {"22", "宇都"},   {"23", "佐賀"}, {"24", "中津"},
            {"25", "高崎"},   {"26", "高知"},   {"27", "足利"},   {"28", "上山"}, {"29", "水沢"},
            {"30", "三条"},   {"31", "紀井"},   {"32", "益田"},   {"33", "盛岡"}, {"34", "名古"},
            {"35", "札(地)"}, {"36", "函(地)"}, {"37", "園田"},   {"38", "福山"}, {"39", "姫路"},
            {"40", "中(地)"}, {"41", "新(地)"}, {"42", "門別"},   {"43", "弥富"}, {"44", "小林"},
            {"45", "西脇"},   {"46", "境町"},   {"47", ""},       {"48", ""},     {"49", ""},
            {"50", "栗東"},   {"51", "美浦南"}, {"52", "美浦北"}, {"53", "白井"}, {"54", "道営"},
            {"55", "岩手"},   {"56", ""},       {"57", ""},       {"58", ""},     {"59", ""},
            {"60", "香港"},   {"61", "米国"},   {"62", "英国"},   {"63", "仏国"}, {"64", "愛国"},
            {"65", "ＵＡＥ"}, {"66", "加国"},   {"67", "伊国"},   {"68", "独国"}, {"69", "豪州"},
            {"70", "西独"},   {"71", "新国"},   {"90", "兵庫"},   {"91", "栃木"}, {"92", "北海"},
        },
        "不明");
    return table;
}

const CodeTable& CoatColourTable()
{
    static const CodeTable table(
        {
            {"01", "栗毛"},   {"02", "栃栗毛"}, {"03", "鹿毛"},   {"04", "黒鹿毛"},
            {"05", "青鹿毛"}, {"06", "青毛"},   {"07", "芦毛"},   {"08", "栗粕毛"},
            {"09", "鹿粕毛"}, {"10", "青粕毛"}, {"11", "白毛"},   {"12", "芦鹿毛"},
            {"13", "粕"},     {"20", "黒鹿毛"}, {"21", "芦毛"},   {"22", "芦毛"},
            {"23", "鹿毛"},   {"24", "黒鹿毛"}, {"25", "芦毛"},   {"26", "芦毛"},
            {"27", "芦毛"},   {"28", "鹿毛"},   {"29", "芦毛"},   {"30", "鹿毛"},
            {"31", "黒鹿毛"}, {"32", "黒鹿毛"}, {"33", "黒鹿毛"}, {"34", "黒鹿毛"},
            {"35", "黒鹿毛"},
        },
        "鹿毛");
    return table;
}

const CodeTable& HorseMarkTable()
{
    static const CodeTable table(
        {
            {"01", "(抽)"},     {"02", "[抽]"},         {"03", "(父)"},
            {"04", "(市)"},     {"05", "(地)"},         {"06", "(外)"},
            {"07", "(父)(抽)"}, {"08", "(父)(市)"},     {"09", "(父)(地)"},
            {"10", "(市)(地)"}, {"11", "(外)(地)"},     {"12", "(父)(市)(地)"},
            {"15", "(招)"},     {"16", "(招)(外)"},     {"17", "(招)(父)"},
            {"18", "(招)(市)"}, {"19", "(招)(父)(市)"}, {"20", "(父)(外)"},
            {"21", "[地]"},     {"22", "(外)(地)"},     {"23", "(父)[地]"},
            {"24", "(市)[地]"}, {"25", "(父)(市)[地]"}, {"26", "[外]"},
            {"27", "(父)[外]"},
        },
        "");
    return table;
}

const CodeTable& CircledTable()
{
    static const CodeTable table(
        {{"00", "　"}, {"01", "①"}, {"02", "②"}, {"03", "③"}, {"04", "④"}, {"05", "⑤"}, {"06", "⑥"},
         {"07", "⑦"},  {"08", "⑧"}, {"09", "⑨"}, {"10", "⑩"}, {"11", "⑪"}, {"12", "⑫"}, {"13", "⑬"},
         {"14", "⑭"},  {"15", "⑮"}, {"16", "⑯"}, {"17", "⑰"}, {"18", "⑱"}, {"  ", "　"}},
        "  ");
    return table;
}

// Every breeding area text is six bytes wide: shorter names are filled with blanks.
const CodeTable& BreedingAreaTable()
{
    static const CodeTable table(
        {
            {"000", "北檜山"}, {"001", "えりも"}, {"002", "様似"},   {"003", "浦河"},
            {"004", "三石"},   {"005", "静内"},   {"006", "新冠"},   {"007", "門別"},
            {"008", "平取"},   {"009", "鵡川"},   {"010", "早来"},   {"011", "白老"},
            {"012", "室蘭"},   {"013", "伊達"},   {"014", "虻田"},   {"015", "幕別"},
            {"016", "厚真"},   {"017", "網走"},   {"018", "池田"},   {"019", "有珠"},
            {"020", "浦幌"},   {"021", "恵庭"},   {"022", "江別"},   {"023", "追別"},
            {"024", "長万部"}, {"025", "音更"},   {"026", "音別"},   {"027", "帯広"},
            {"028", "河西"},   {"029", "釧路"},   {"030", "栗山"},   {"031", "小清水"},
            {"032", "札幌"},   {"033", "鹿追"},   {"034", "清水"},   {"035", "標茶"},
            {"036", "白糠"},   {"037", "新得"},   {"038", "大樹"},   {"039", "鷹栖"},
            {"040", "千歳"},   {"041", "忠類"},   {"042", "士幌"},   {"043", "弟子屈"},
            {"044", "苫小牧"}, {"045", "豊浦"},   {"046", "豊頃"},   {"047", "根室"},
            {"048", "登別"},   {"049", "函館"},   {"050", "浜中"},   {"051", "広尾"},
            {"052", "深川"},   {"053", "穂別"},   {"054", "本別"},   {"055", "森"},
            {"056", "八雲"},   {"057", "青森"},   {"058", "岩手"},   {"059", "宮城"},
            {"060", "山形"},   {"061", "福島"},   {"062", "栃木"},   {"063", "群馬"},
            {"064", "埼玉"},   {"065", "茨城"},   {"066", "千葉"},   {"067", "長野"},
            {"068", "京都"},   {"069", "高知"},   {"070", "宮崎"},   {"071", "鹿児島"},
            {"072", "熊本"},   {"073", "米国"},   {"074", "英国"},   {"075", "愛国"},
            {"076", "仏国"},   {"077", "伊国"},   {"078", "独国"},   {"079", "カナダ"},
            {"080", "新国"},   {"081", "豪州"},   {"082", "洞爺"},   {"083", "七飯"},
            {"084", "上ノ国"}, {"085", "亜国"},   {"086", "白国"},   {"087", "瑞国"},
            {"088", "壮瞥"},   {"089", "砂原"},   {"090", "足寄"},   {"091", "別海"},
            {"092", "東京"},   {"093", "神奈川"}, {"094", "兵庫"},   {"095", "佐賀"},
            {"096", "日高"},   {"097", "南郷"},   {"098", "更別"},   {"099", "チリ"},
            {"100", "遠別"},   {"101", "芽室"},   {"102", "中標津"}, {"103", "山梨"},
            {"104", "伯国"},   {"105", "今金"},   {"106", "厚岸"},   {"107", "東久留"},
            {"108", "標津"},   {"109", "大分"},   {"110", "静岡"},   {"111", "由仁"},
            {"112", "木古内"}, {"200", "アルジ"}, {"201", "墺国"},   {"202", "バルバ"},
            {"203", "ブルガ"}, {"204", "コロン"}, {"205", "キュー"}, {"206", "キプロ"},
            {"207", "チェコ"}, {"208", "丁国"},   {"209", "東独国"}, {"210", "エクア"},
            {"211", "埃国"},   {"212", "希国"},   {"213", "蘭国"},   {"214", "香港"},
            {"215", "洪国"},   {"216", "印度"},   {"217", "インド"}, {"218", "イラン"},
            {"219", "イスラ"}, {"220", "ジャマ"}, {"221", "日本"},   {"222", "ケニア"},
            {"223", "レバノ"}, {"224", "リベア"}, {"225", "ルクセ"}, {"226", "マレー"},
            {"227", "マルタ"}, {"228", ""},       {"229", "モーリ"}, {"230", "メキシ"},
            {"231", "モロコ"}, {"232", "ノルウ"}, {"233", "パキス"}, {"234", "パナマ"},
            {"235", "秘国"},   {"236", "比国"},   {"237", "波国"},   {"238", "葡国"},
            {"239", "プエル"}, {"240", "羅国"},   {"241", "シンガ"}, {"242", "南阿国"},
            {"243", "ソ連"},   {"244", "西国"},   {"245", "スリラ"}, {"246", "スーダ"},
            {"247", "スイス"}, {"248", "トリニ"}, {"249", "チュニ"}, {"250", "土国"},
            {"251", "ウルグ"}, {"252", "ペネズ"}, {"253", "ユーゴ"}, {"254", "ジンバ"},
            {"255", "ロシア"},
        },
        "", 6);
    return table;
}

// The "万" class: the first four characters of the code as a number.
RaceClass TenThousandClass(std::string_view classCode)
{
    return PrizeClass(LenientNumber(classCode.substr(0, 4)));
}

const GradeRow* FindGrade(Grade grade)
{
    for (const GradeRow& row : kGrades) {
        if (row.grade == grade) {
            return &row;
        }
    }
    return nullptr;
}

} // namespace

const std::string& WeekdayText(std::string_view code)
{
    return WeekdayTable()(code);
}
const std::string& RaceKindText(std::string_view code)
{
    return RaceKindTable()(code);
}
Grade ReadGradeCode(std::string_view code)
{
    for (const GradeRow& row : kGrades) {
        if (row.code == code) {
            return row.grade;
        }
    }
    return Grade::None;
}
const std::string& GradeText(std::string_view code)
{
    return GradeText(ReadGradeCode(code));
}
const std::string& GradeText(Grade grade)
{
    static const auto texts = [] {
        std::array<std::string, std::size(kGrades) + 1> t;
        for (const GradeRow& row : kGrades) {
            t[static_cast<std::size_t>(row.grade)] = ToCp932(row.utf8);
        }
        return t;
    }();
    const auto index = static_cast<std::size_t>(grade);
    return index < texts.size() ? texts[index] : texts[0];
}
const std::string& WeightTermsText(std::string_view code)
{
    return WeightTermsTable()(code);
}
const std::string& SexText(std::string_view code)
{
    return SexTable()(code);
}
const std::string& GoingText(std::string_view code)
{
    return GoingTable()(code);
}
const std::string& CourseName(std::string_view code)
{
    return CourseTable()(code);
}
const std::string& CourseName(int courseCode)
{
    if (courseCode < 0 || courseCode > 99) {
        return CourseTable()("");
    }
    const char digits[2] = {static_cast<char>('0' + courseCode / 10),
                            static_cast<char>('0' + courseCode % 10)};
    return CourseTable()(std::string_view(digits, 2));
}
int ReadCourseCode(std::string_view code)
{
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (code.size() != 2 || !digit(code[0]) || !digit(code[1])) {
        return kNoCourse;
    }
    return (code[0] - '0') * 10 + (code[1] - '0');
}
const std::string& CoatColourText(std::string_view code)
{
    return CoatColourTable()(code);
}
const std::string& HorseMarkText(std::string_view code)
{
    return HorseMarkTable()(code);
}
const std::string& BreedingAreaText(std::string_view code)
{
    return BreedingAreaTable()(code);
}
const std::string& UnknownCourseName()
{
    return "不明"_sj;
}

Surface ReadSurface(std::string_view steeplechaseFlag, std::string_view turfFlag)
{
    if (steeplechaseFlag == "1") {
        return Surface::Steeplechase;
    }
    return turfFlag == "1" ? Surface::Turf : Surface::Dirt;
}

const std::string& SurfaceText(std::string_view steeplechaseFlag, std::string_view turfFlag)
{
    return SurfaceText(ReadSurface(steeplechaseFlag, turfFlag));
}

const std::string& SurfaceText(Surface surface)
{
    switch (surface) {
    case Surface::Steeplechase:
        return "障"_sj;
    case Surface::Turf:
        return "芝"_sj;
    case Surface::Dirt:
        break;
    }
    return "ダ"_sj;
}

RaceClass ReadClassCode(std::string_view classCode)
{
    for (const NamedClass& named : kNamedClasses) {
        if (named.code == classCode) {
            return {named.kind, 0};
        }
    }
    return TenThousandClass(classCode);
}

std::string ClassText(std::string_view classCode)
{
    return ClassText(ReadClassCode(classCode));
}

std::string ClassText(const RaceClass& raceClass)
{
    if (raceClass.kind == ClassKind::Prize) {
        return std::to_string(raceClass.man) + "万"_sj;
    }
    // Converted once: every race record and every past run names its class.
    static const std::array<std::string, std::size(kNamedClasses)> texts = [] {
        std::array<std::string, std::size(kNamedClasses)> cp932;
        for (std::size_t i = 0; i < cp932.size(); ++i) {
            cp932[i] = ToCp932(kNamedClasses[i].utf8);
        }
        return cp932;
    }();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (kNamedClasses[i].kind == raceClass.kind) {
            return texts[i];
        }
    }
    return {};
}

GradeLabel MakeGradeLabel(Grade grade, RaceClass raceClass)
{
    if (grade == Grade::G1 || grade == Grade::G2 || grade == Grade::G3) {
        return {grade, RaceClass{}};
    }
    return {Grade::None, raceClass};
}

std::string GradeLabelText(const GradeLabel& label)
{
    if (label.grade == Grade::None) {
        return ClassText(label.raceClass);
    }
    // "G1 " without its blank.
    const std::string& text = GradeText(label.grade);
    return text.substr(0, text.size() - 1);
}

std::string PastClassText(std::string_view classCode, std::string_view gradeCode)
{
    const std::string& named = PastClassTable()(classCode);
    if (named.empty()) {
        return ClassText(TenThousandClass(classCode));
    }
    if (named == "オープン"_sj) {
        static const auto pastTexts = [] {
            std::array<std::string, std::size(kGrades) + 1> t;
            for (const GradeRow& row : kGrades) {
                t[static_cast<std::size_t>(row.grade)] = ToCp932(row.pastUtf8);
            }
            return t;
        }();
        if (const GradeRow* grade = FindGrade(ReadGradeCode(gradeCode))) {
            return pastTexts[static_cast<std::size_t>(grade->grade)];
        }
    }
    return named;
}

int CornerPosition(std::string_view field)
{
    const int position = LenientNumber(field);
    return position >= 40 ? position - 40 : position;
}

int MarginTenths(std::string_view field)
{
    const int margin = LenientNumber(field);
    return margin == 998 ? 0 : margin;
}

const std::string& CircledNumber(std::string_view code)
{
    // A position stored with 40 added is shown like the plain position; any other code is
    // looked up as it stands ("00" and two blanks alike give the full-width blank).
    const int position = CornerPosition(code);
    if (position != LenientNumber(code)) {
        return CircledTable()(PadZero(std::to_string(position), 2));
    }
    return CircledTable()(code);
}

std::int32_t LenientNumber(std::string_view text)
{
    return ParseNumber(text).value_or(0);
}

namespace {
[[noreturn]] void ThrowNotANumber(std::string_view text)
{
    throw ConvertError("'"_sj + std::string(text) + "' は整数ではありません"_sj);
}
} // namespace

std::int32_t StrictNumber(std::string_view text)
{
    if (auto value = ParseNumber(text)) {
        return *value;
    }
    ThrowNotANumber(text);
}

std::int64_t StrictNumber64(std::string_view text)
{
    if (auto value = ParseNumber64(text)) {
        return *value;
    }
    ThrowNotANumber(text);
}

std::string PadLeft(std::string_view text, std::size_t width)
{
    std::string out;
    if (text.size() < width) {
        out.assign(width - text.size(), ' ');
    }
    out.append(text);
    return out;
}

std::string PadRight(std::string_view text, std::size_t width)
{
    std::string out(text);
    if (out.size() < width) {
        out.append(width - out.size(), ' ');
    }
    return out;
}

std::string PadZero(std::string_view text, std::size_t width)
{
    std::string out;
    if (text.size() < width) {
        out.assign(width - text.size(), '0');
    }
    out.append(text);
    return out;
}

std::string DropTail(std::string_view text, std::size_t n)
{
    return text.size() <= n ? std::string() : std::string(text.substr(0, text.size() - n));
}

std::string_view Trim(std::string_view text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ') {
        ++begin;
    }
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ') {
        --end;
    }
    return text.substr(begin, end - begin);
}

} // namespace furlox::kol
