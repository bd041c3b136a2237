#include "base/Base.h"

int BaseValue()
{
    return 1;
}
