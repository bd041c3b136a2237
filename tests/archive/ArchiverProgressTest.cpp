#include <gtest/gtest.h>

#include "archive/ArchiverProgress.h"
#include "base/Encoding.h"
#include "support/LhaWriter.h"
#include "support/TempDir.h"

namespace furlox::archive {
namespace {

ExtractingInfoEx Info(std::string source, std::uint32_t size, std::uint32_t written,
                      std::string dest = "/work/x")
{
    ExtractingInfoEx info;
    info.sourceFileName = std::move(source);
    info.fileSize = size;
    info.writeSize = written;
    info.destFileName = std::move(dest);
    return info;
}

TEST(ArchiverProgress, ShortSourceName)
{
    EXPECT_EQ(ShortSourceName("dir\\sub\\kol_den1.kd2"), "kol_den1.kd2");
    EXPECT_EQ(ShortSourceName("dir/sub/kol_uma.kd2"), "kol_uma.kd2");
    EXPECT_EQ(ShortSourceName("C:file.txt"), "file.txt");
    EXPECT_EQ(ShortSourceName("kol_den2.kd2"), "kol_den2.kd2");
    EXPECT_EQ(ShortSourceName("dir/"), "");
    const std::string hyou = ToCp932("表");
    EXPECT_EQ(ShortSourceName(hyou + ".txt"), hyou + ".txt"); // 0x5C as a second byte
    EXPECT_EQ(ShortSourceName("x\\" + hyou), hyou);
}

TEST(ArchiverProgress, PercentInSixtyFourBits)
{
    EXPECT_EQ(ProgressPercent(999, 1000), 99);
    EXPECT_EQ(ProgressPercent(1000, 1000), 100);
    EXPECT_EQ(ProgressPercent(0, 1000), 0);
    EXPECT_EQ(ProgressPercent(5, 0), 0);
    // 4,000,000,000 × 100 does not fit 32 bits.
    EXPECT_EQ(ProgressPercent(4000000000u, 4294967295u), 93);
    EXPECT_EQ(ProgressPercent(2000, 1000), 100);
}

TEST(ArchiverProgress, CountingThenExtractingThenTransfer)
{
    ArchiverProgress progress;
    TArchiveFile sender;
    bool abort = true;
    int processed = 0;
    progress.ProcessMessages = [&] { ++processed; };
    progress.FormShow();
    EXPECT_EQ(progress.View().lblCount, "");
    EXPECT_EQ(progress.View().ProgressBar1Position, 0);
    EXPECT_TRUE(progress.View().Label4Visible);
    EXPECT_TRUE(progress.View().lblSrcFileName2Visible);
    EXPECT_FALSE(progress.View().Label5Visible);

    for (const char* name : {"kol_den1.kd2", "kol_den2.kd2", "data\\kol_uma.kd2"}) {
        const ExtractingInfoEx info = Info(name, 100, 0);
        progress.ArchiveFileProgress(sender, kStateCount, &info, abort);
    }
    EXPECT_FALSE(abort);
    EXPECT_EQ(processed, 3);
    EXPECT_EQ(progress.EntryTotal(), 3);
    EXPECT_EQ(progress.View().lblCount, "[3]");
    EXPECT_EQ(progress.View().lblSrcFileName1, "kol_uma.kd2");
    EXPECT_EQ(progress.View().lblWriteSize, ""); // counting writes no size
    EXPECT_EQ(progress.View().lblSrcFileName2, "");

    ExtractingInfoEx info = Info("kol_den1.kd2", 1000, 0, "/work/kol_den1.kd2");
    progress.ArchiveFileProgress(sender, kStateBegin, &info, abort);
    EXPECT_EQ(progress.View().lblCount, "[1/3]");
    info.writeSize = 999;
    progress.ArchiveFileProgress(sender, kStateInProcess, &info, abort);
    EXPECT_EQ(progress.View().ProgressBar1Position, 99);
    EXPECT_EQ(progress.View().lblWriteSize, "999");
    EXPECT_EQ(progress.View().lblSrcFileName2, "/work/kol_den1.kd2");
    EXPECT_EQ(progress.View().lblCount, "[1/3]");
    info = Info("kol_den2.kd2", 0, 0);
    progress.ArchiveFileProgress(sender, kStateBegin, &info, abort);
    EXPECT_EQ(progress.View().lblCount, "[2/3]");
    EXPECT_EQ(progress.View().ProgressBar1Position, 0); // an empty entry shows 0
    EXPECT_EQ(progress.EntryIndex(), 2);

    // A report without a record changes nothing but the abort answer.
    progress.cmdCancelClick();
    const ProgressView before = progress.View();
    progress.ArchiveFileProgress(sender, kStateBegin, nullptr, abort);
    EXPECT_TRUE(abort);
    EXPECT_EQ(progress.View().lblCount, before.lblCount);
    EXPECT_EQ(progress.EntryIndex(), 2);

    info = Info("kol_den1.kd2", 1000, 1000);
    progress.ArchiveFileProgress(sender, kStateCopy, &info, abort);
    EXPECT_FALSE(progress.View().Label4Visible);
    EXPECT_TRUE(progress.View().Label5Visible);
    EXPECT_FALSE(progress.View().lblSrcFileName2Visible);
    EXPECT_FALSE(progress.View().cmdCancelEnabled);
    EXPECT_EQ(progress.View().ProgressBar1Position, 100);
    progress.FormHide();
    EXPECT_TRUE(progress.View().cmdCancelEnabled);

    // A second showing starts again.
    progress.FormShow();
    EXPECT_EQ(progress.EntryTotal(), 0);
    EXPECT_EQ(progress.EntryIndex(), 0);
    EXPECT_FALSE(progress.CancelRequested());
    EXPECT_EQ(progress.View().lblCount, "");
    EXPECT_EQ(progress.View().ProgressBar1Position, 0);
    EXPECT_EQ(progress.View().lblWriteSize, "");
    EXPECT_TRUE(progress.View().Label4Visible);
    EXPECT_FALSE(progress.View().Label5Visible);

    // Entries that begin without a counting phase leave the counter empty.
    info = Info("kol_den1.kd2", 10, 0);
    progress.ArchiveFileProgress(sender, kStateBegin, &info, abort);
    EXPECT_EQ(progress.View().lblCount, "");
    EXPECT_EQ(progress.EntryIndex(), 0);
    EXPECT_FALSE(abort);
}

TEST(ArchiverProgress, FollowsARealExtraction)
{
    test::TempDir dir;
    dir.Write("a.lzh", test::MakeLhaFiles({{"kol_den1.kd2", std::string(70000, 'r')},
                                           {"kol_den2.kd2", "e"},
                                           {"kol_uma.kd2", std::string(5000, 'h')}}));
    ArchiverProgress progress;
    std::vector<std::string> counters;
    progress.Updated = [&] {
        if (counters.empty() || counters.back() != progress.View().lblCount) {
            counters.push_back(progress.View().lblCount);
        }
    };
    TArchiveFile file;
    file.SetFileName(Utf8Text(dir / "a.lzh"));
    file.SetOnProgress(progress.Handler());
    progress.FormShow();
    ASSERT_EQ(file.Extract(nullptr, {}, Utf8Text(dir / "out")), 0);
    EXPECT_EQ(counters, (std::vector<std::string>{"[1]", "[2]", "[3]", "[1/3]", "[2/3]", "[3/3]"}));
    EXPECT_EQ(progress.View().lblSrcFileName1, "kol_uma.kd2");
    EXPECT_EQ(progress.View().lblWriteSize, "5000");
    EXPECT_EQ(progress.View().ProgressBar1Position, 100);
    EXPECT_TRUE(progress.View().Label5Visible);
}

} // namespace
} // namespace furlox::archive
