#include "output/TextExport.h"

int RecordValue();

int TextValue()
{
    return RecordValue() + BaseValue();
}
