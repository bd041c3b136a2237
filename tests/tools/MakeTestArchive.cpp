// Writes a hostile archive for the checks outside the test programs:
//   furlox-test-archive plant OUT.lzh   a day with everything an archive must not plant
#include <cstdio>
#include <cstring>
#include <fstream>

#include "support/HostileArchives.h"

int main(int argc, char** argv)
{
    if (argc != 3 || std::strcmp(argv[1], "plant") != 0) {
        std::fputs("usage: furlox-test-archive plant OUT.lzh\n", stderr);
        return 2;
    }
    using namespace furlox::test;
    ArchiveFiles files = PlantedEntries();
    files.push_back({kHarmlessEntry, "MAKE no mistake"});
    const std::string bytes = DayArchiveWith(files);
    std::ofstream out(argv[2], std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return out.good() ? 0 : 1;
}
