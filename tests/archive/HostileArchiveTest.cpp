// Archives and entry names found by fuzzing the archive component, each kept as a regression
// case.
#include <gtest/gtest.h>

#include "base/Encoding.h"

#include <string>

#include "archive/ARCHIVES.h"
#include "archive/LhaBackend.h"
#include "support/TempDir.h"

namespace furlox::archive {
namespace {

TEST(HostileArchive, SlashAfterLeadByteStillSeparates)
{
    using lha::SafeRelativePath;
    // 0x2F is never the second byte of a double-byte character: after a lead byte it still
    // separates, so no ".." can hide inside one part of the path.
    EXPECT_EQ(SafeRelativePath("a\x8F/../x"), std::nullopt);
    EXPECT_EQ(SafeRelativePath("a\x8F/../../etc/x"), std::nullopt);
    EXPECT_EQ(SafeRelativePath("\x8F/x"), "\x8F/x");
    EXPECT_EQ(SafeRelativePath("\x8F//x"), "\x8F/x");
    // A backslash after a lead byte is that character's second byte and no separator.
    EXPECT_EQ(SafeRelativePath("\x95\\x.txt"), "\x95\\x.txt");
    EXPECT_EQ(SafeRelativePath("\x95\\\\x.txt"), "\x95\\/x.txt");
}

TEST(HostileArchive, CompressedEntryCutOffAfterItsHeader)
{
    // A -lh5- entry whose data ends right after its header: libarchive hands back an empty
    // block without data, which used to reach memcpy as a null pointer (caught by UBSan).
    const std::string cut("\x21\xC8-lh5-\x63\x44\x01\x00\x3F\x5D\x04\x00\xF0\x93\x8B\x3F\x20\x00"
                          "\x0BSHORTER.TXT\x66\xEA\x1C",
                          36);
    test::TempDir dir;
    dir.Write("cut.lzh", cut);
    const std::string path = Utf8Text(dir / "cut.lzh");

    TLha32 lha;
    std::string buffer(64, 'x');
    EXPECT_NE(lha.ExtractMem(path, "SHORTER.TXT", buffer.data(), buffer.size(), {}), lha::kOk);
    EXPECT_EQ(buffer, std::string(64, 'x'));
    EXPECT_FALSE(lha.CheckArchive(path, lha::kCheckFullCrc));

    std::string output(256, '\0');
    EXPECT_NE(lha.Extract(path, output, false, {}, Utf8Text(dir / "out"), {}), lha::kOk);
    EXPECT_FALSE(std::filesystem::exists(dir / "out" / "SHORTER.TXT"));
}

} // namespace
} // namespace furlox::archive
