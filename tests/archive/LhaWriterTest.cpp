#include <gtest/gtest.h>

#include <string>

#include "archive/LhaBackend.h"
#include "archive/LhaWriter.h"
#include "base/AtomicFile.h"
#include "base/Encoding.h"
#include "support/System.h"
#include "support/TempDir.h"

namespace furlox::archive {
namespace {

// Every byte value, the CP932 end-of-file byte and line ends among them, and a size that
// spans several of the readers' blocks.
std::string AwkwardBytes(std::size_t size)
{
    std::string bytes;
    for (std::size_t i = 0; i < size; ++i) {
        bytes += static_cast<char>((i * 7 + i / 251) & 0xFF);
    }
    return bytes + "\x1A\r\n";
}

TEST(LhaWriter, CrcIsTheArchiversOwn)
{
    // The check value of CRC-16/ARC, the CRC of LHA.
    EXPECT_EQ(Crc16("123456789"), 0xBB3D);
    EXPECT_EQ(Crc16(""), 0);
    EXPECT_EQ(Crc16("6789", Crc16("12345")), 0xBB3D) << "a CRC continues over pieces";
}

TEST(LhaWriter, StoredFilesReadBackWholeThroughTheProgramsReader)
{
    const std::string big = AwkwardBytes(300000);
    const std::string archive = MakeLhaFiles(
        {{"kol_den1.kd2", "race\r\n"}, {"empty.txt", ""}, {"kol_uma.kd2", big}}, 1000000000);
    const test::TempDir dir;
    dir.Write("day.lzh", archive);
    EXPECT_TRUE(lha::UnlhaCheckArchive(dir / "day.lzh", lha::kCheckFullCrc));
    const lha::Listing listing = lha::ReadListing(dir / "day.lzh");
    ASSERT_EQ(listing.entries.size(), 3u);
    EXPECT_EQ(listing.entries[0].fileName, "kol_den1.kd2");
    EXPECT_EQ(listing.entries[0].method, "-lh0-");
    EXPECT_EQ(listing.entries[0].time, 1000000000);
    EXPECT_EQ(listing.entries[2].originalSize, big.size());
    std::string read(big.size() + 1, '\0');
    std::size_t written = 0;
    EXPECT_EQ(lha::ReadEntry(dir / "day.lzh", "kol_uma.kd2", read.data(), read.size(), &written),
              lha::kOk);
    read.resize(written);
    EXPECT_EQ(read, big);
}

#ifndef _WIN32
// Another program reads them too: Debian's lhasa, which checks each entry's CRC.
TEST(LhaWriter, LhasaTestsAndExtractsWhatItWrites)
{
    const test::TempDir dir;
    const std::string big = AwkwardBytes(200000);
    dir.Write("day.lzh", MakeLhaFiles({{"kol_den1.kd2", "race\r\n"}, {"kol_uma.kd2", big}}));
    const test::CommandResult tested =
        test::RunProgram("lhasa", {"t", Utf8Text(dir / "day.lzh")}, test::Stderr::Merge);
    ASSERT_EQ(tested.exitCode, 0) << "lhasa is installed by ./dev deps\n" << tested.out;
    EXPECT_EQ(test::RunProgram("lhasa", {"xqw=" + Utf8Text(dir / "out"), Utf8Text(dir / "day.lzh")})
                  .exitCode,
              0);
    EXPECT_EQ(dir.Read("out/kol_den1.kd2"), "race\r\n");
    EXPECT_EQ(dir.Read("out/kol_uma.kd2"), big);

    // A stored CRC that is not the data's: lhasa says so.
    LhaEntry bad;
    bad.name = "kol_uma.kd2";
    bad.data = big;
    bad.crc = static_cast<std::uint16_t>(Crc16(big) ^ 1);
    dir.Write("bad.lzh", MakeLha({bad}));
    EXPECT_NE(
        test::RunProgram("lhasa", {"t", Utf8Text(dir / "bad.lzh")}, test::Stderr::Discard).exitCode,
        0);
}
#endif

} // namespace
} // namespace furlox::archive
