#pragma once

// Points down two layers, through the one between.
#include "base/Base.h"

int TextValue();
