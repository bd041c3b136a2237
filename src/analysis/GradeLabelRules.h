#pragma once

#include "kol/KolHen.h"

// What the grade label of a race decides, in one table: the figure threshold of the race
// grid's colours, the FX axis of the detail window's chart and the label's part of the
// confidence grade. Every label that one of these rules names has its row; any other label
// takes the last.
namespace furlox {

struct GradeLabelRules
{
    int figureThreshold; // T: figures from T on are coloured in the race grid
    int chartMax;        // the detail chart's FX axis, top
    int chartMin;        // and bottom
    int confidence;      // added to the confidence grade's score
};

const GradeLabelRules& RulesOfGradeLabel(const kol::GradeLabel& label);

} // namespace furlox
