#include "kol/KolRecords.h"

#include "kol/KolHen.h"

namespace furlox::kol {

int RecordTableCount(std::string_view horseLine, int i)
{
    return LenientNumber(Field(horseLine, horse::kRecordTablePos + 2 * i, 2));
}

PlaceCounts RecordTableGroup(std::string_view horseLine, int g)
{
    return {RecordTableCount(horseLine, 4 * g), RecordTableCount(horseLine, 4 * g + 1),
            RecordTableCount(horseLine, 4 * g + 2), RecordTableCount(horseLine, 4 * g + 3)};
}

} // namespace furlox::kol
