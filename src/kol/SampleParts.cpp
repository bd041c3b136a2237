#include "kol/SampleParts.h"

#include "base/Encoding.h"
#include "kol/KolHen.h"

namespace furlox::kol::sample {

std::string Digits(int value, int width)
{
    return PadZero(std::to_string(value), static_cast<std::size_t>(width));
}

void Put(std::string& line, FieldPos f, std::string_view value)
{
    const auto start = static_cast<std::size_t>(f.pos - 1);
    const auto len = static_cast<std::size_t>(f.len);
    if (line.size() < start + len) {
        line.resize(start + len, ' ');
    }
    std::size_t n = 0;
    while (n < value.size() && n < len) {
        std::size_t step = IsLeadByte(static_cast<unsigned char>(value[n])) ? 2 : 1;
        if (n + step > len) {
            break;
        }
        n += step;
    }
    line.replace(start, len, PadRight(value.substr(0, n), len));
}

void PutRun(std::string& line, int run, FieldPos f, std::string_view value)
{
    Put(line, {horse::kPastRunsPos - 1 + horse::kPastRunLength * run + f.pos, f.len}, value);
}

const std::array<std::string_view, 40> kKana = {
    "ア", "イ", "ウ", "エ", "オ", "カ", "キ", "ク", "ケ", "コ", "サ", "シ", "ス", "セ",
    "ソ", "タ", "チ", "テ", "ト", "ナ", "ノ", "ハ", "ヒ", "フ", "マ", "ミ", "ム", "メ",
    "モ", "ラ", "リ", "ル", "レ", "ロ", "ダ", "ジ", "ブ", "グ", "ド", "ン"};
const std::array<std::string_view, 12> kNameEnds = {"ン",     "ー",     "オー",   "スター",
                                                    "キング", "ローズ", "ラン",   "ボーイ",
                                                    "ガール", "ダンス", "ロード", "ヒーロー"};
const std::array<std::string_view, 24> kFamily = {
    "田中", "佐藤", "鈴木", "高橋", "伊藤", "渡辺", "山本", "中村", "小林", "加藤", "吉田", "山田",
    "松本", "井上", "木村", "林",   "清水", "山口", "森",   "池田", "橋本", "石川", "前田", "岡部"};
const std::array<std::string_view, 16> kGiven = {"豊", "誠", "勝", "司", "学", "徹", "健", "隆",
                                                 "亮", "淳", "稔", "聡", "剛", "翼", "勇", "浩"};
const std::array<std::string_view, 12> kFarms = {"ノーザン", "社台", "白老", "千代田",
                                                 "下河辺",   "岡田", "坂東", "三嶋",
                                                 "谷川",     "浦河", "静内", "新冠"};

std::string HorseName(Random& rng, int maxChars)
{
    std::string utf8;
    int chars = rng.Between(2, maxChars - 2);
    for (int i = 0; i < chars; ++i) {
        utf8 += rng.Pick(kKana);
    }
    std::string withEnd = utf8 + std::string(rng.Pick(kNameEnds));
    std::string cp = ToCp932(withEnd);
    return cp.size() <= static_cast<std::size_t>(maxChars) * 2 ? cp : ToCp932(utf8);
}

std::string PersonName(std::string_view familyUtf8, std::string_view givenUtf8, int chars)
{
    const std::string family = ToCp932(familyUtf8);
    const std::string given = ToCp932(givenUtf8);
    std::string name = family;
    while (name.size() + given.size() < static_cast<std::size_t>(chars) * 2) {
        name += "　"_sj;
    }
    name += given;
    return name.substr(0, static_cast<std::size_t>(chars) * 2);
}

std::string PersonName(Random& rng, int chars)
{
    // The family name is drawn first.
    const std::string_view family = rng.Pick(kFamily);
    return PersonName(family, rng.Pick(kGiven), chars);
}

int Bracket(int h, int n)
{
    if (n <= 8) {
        return h;
    }
    int base = n / 8;
    int extra = n % 8;
    int horse = 0;
    for (int b = 1; b <= 8; ++b) {
        horse += base + (b > 8 - extra ? 1 : 0);
        if (h <= horse) {
            return b;
        }
    }
    return 8;
}

} // namespace furlox::kol::sample
