#include "analysis/GradeLabelRules.h"

namespace furlox {
namespace {

struct Row
{
    kol::GradeLabel label;
    GradeLabelRules rules;
};

constexpr kol::GradeLabel Graded(kol::Grade grade)
{
    return {grade, {}};
}
constexpr kol::GradeLabel Class(kol::RaceClass raceClass)
{
    return {kol::Grade::None, raceClass};
}
constexpr kol::GradeLabel Prize(int man)
{
    return Class(kol::PrizeClass(man));
}

// The thresholds rise with the class; the chart spans 150 FX points from a top that rises
// with it too (a 1600万 race keeps the default axis); G2 and G3, 900万 and 1000万, 新馬 and
// 1600万 make a race harder to call, G1 easier. Each row: threshold, chart top and bottom,
// confidence.
constexpr Row kRows[] = {
    {Graded(kol::Grade::G1), {120, 150, 0, +1}},
    {Graded(kol::Grade::G2), {110, 140, -10, -1}},
    {Graded(kol::Grade::G3), {100, 140, -10, -1}},
    {Class({kol::ClassKind::Open, 0}), {100, 135, -15, 0}},
    {Prize(1600), {90, 110, -40, -1}},
    {Prize(1500), {90, 130, -20, 0}},
    {Prize(1000), {80, 125, -25, -1}},
    {Prize(900), {80, 125, -25, -1}},
    {Prize(500), {70, 120, -30, 0}},
    {Class({kol::ClassKind::Newcomer, 0}), {60, 110, -40, -1}},
};
constexpr GradeLabelRules kOther = {60, 110, -40, 0}; // 未勝利, 未出走, other 万 classes

} // namespace

const GradeLabelRules& RulesOfGradeLabel(const kol::GradeLabel& label)
{
    for (const Row& row : kRows) {
        if (row.label == label) {
            return row.rules;
        }
    }
    return kOther;
}

} // namespace furlox
