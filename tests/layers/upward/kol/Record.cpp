// Points down: reaches the folder below it.
#include "base/Base.h"

int RecordValue()
{
    return BaseValue() + 1;
}
