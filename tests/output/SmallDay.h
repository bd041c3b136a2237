#pragma once

#include "kol/KolRecords.h"
#include "support/KolBuilder.h"

// A small race day whose every analysed figure is known by hand, for whole-file comparisons:
//   race 0  東京11R, 3 runners: totals 96.0, 95.0 and none; bets 枠連 1-2, grade B
//   race 1  東京12R, 2 runners without figures: no bets
//   race 2  中山01R サラ3歳 未勝利 馬齢, 9 runners, the odd numbers rated
//           (1: 80, 3: 90, 5: 70, 7: 85, 9: 100); bets 馬連 3-9 7-9 1-9 5-9, grade B
namespace furlox::test {

inline KolBuilder SmallDay()
{
    namespace rc = kol::race;
    KolBuilder b;
    b.AddRace();
    b.AddRunner().Figures({96});
    b.AddRunner().Figures({100, 90});
    b.AddRunner();

    b.AddRace().Set(rc::kRaceNumber, "12");
    b.AddRunner();
    b.AddRunner();

    b.AddRace()
        .Set(rc::kCourseCode, "05")
        .Set(rc::kRaceNumber, "01")
        .Set(rc::kRaceKindCode, "2")
        .Set(rc::kClassCode, "00003")
        .Set(rc::kWeightTermsCode, "01");
    const int figures[] = {80, 0, 90, 0, 70, 0, 85, 0, 100};
    for (int figure : figures) {
        Runner& r = b.AddRunner();
        if (figure != 0) {
            r.Figures({figure});
        }
    }
    return b;
}

} // namespace furlox::test
