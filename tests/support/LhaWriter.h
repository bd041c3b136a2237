#pragma once

#include "archive/LhaWriter.h"

// The tests make their archives with the program's own stored LHA writer.
namespace furlox::test {

using archive::Crc16;
using archive::LhaEntry;
using archive::MakeLha;
using archive::MakeLhaFiles;

} // namespace furlox::test
