// Only a header points up: nothing is missing at link time, so the compiler must refuse it.
#include "kol/Upward.h"
