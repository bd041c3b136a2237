#pragma once

// Points up: the layer test must refuse it.
#include "output/TextExport.h"
