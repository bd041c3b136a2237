// Writes a hostile archive for the checks outside the test programs:
//   furlox-test-archive plant OUT.lzh     a day with everything an archive must not plant
//   furlox-test-archive partial OUT.lzh   the horse file of a day alone: part of a day
#include <cstdio>
#include <cstring>
#include <fstream>

#include "kol/SampleDay.h"
#include "support/HostileArchives.h"
#include "support/LhaWriter.h"

int main(int argc, char** argv)
{
    using namespace furlox;
    using namespace furlox::test;
    const bool plant = argc == 3 && std::strcmp(argv[1], "plant") == 0;
    const bool partial = argc == 3 && std::strcmp(argv[1], "partial") == 0;
    if (!plant && !partial) {
        std::fputs("usage: furlox-test-archive (plant | partial) OUT.lzh\n", stderr);
        return 2;
    }
    std::string bytes;
    if (plant) {
        ArchiveFiles files = PlantedEntries();
        files.push_back({kHarmlessEntry, "MAKE no mistake"});
        bytes = DayArchiveWith(files);
    } else {
        kol::SampleOptions options;
        options.seed = 9;
        bytes = MakeLhaFiles({{"kol_uma.kd2", kol::MakeSampleDay(options).horseFile}});
    }
    std::ofstream out(argv[2], std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return out.good() ? 0 : 1;
}
