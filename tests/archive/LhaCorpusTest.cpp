#include <gtest/gtest.h>

#include "base/Encoding.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string_view>

#include "archive/ARCHIVES.h"
#include "support/Md5.h"
#include "support/TempDir.h"

// Real archives made by many LHA programs, with the md5 of every entry's content.
namespace furlox::archive {
namespace {

namespace fs = std::filesystem;

const fs::path kCorpus = FURLOX_LZH_CORPUS;

// A clone without the shared folder beside it (a public copy) has no corpus and skips; CI
// always has one, so there a missing corpus is a failure and never a quiet skip.
bool RunningInCi()
{
    const char* ci = std::getenv("CI");
    return ci != nullptr && *ci != '\0' && std::string_view(ci) != "false";
}

#define FURLOX_REQUIRE_CORPUS()                                                                    \
    if (!fs::exists(kCorpus / "MANIFEST.tsv")) {                                                   \
        if (RunningInCi()) {                                                                       \
            FAIL() << "CI is set but the LZH corpus is missing at " << kCorpus;                    \
        }                                                                                          \
        GTEST_SKIP() << "no LZH corpus at " << kCorpus;                                            \
    }

// Archives of the corpus that the library is known not to read (methods lh1, lh4, lz5 and
// pm*, and some Amiga and OS-9 archives are beyond libarchive). None of the present corpus
// is among them; an archive added here must fail cleanly, writing nothing.
const std::set<std::string> kExpectedUnreadable = {};

struct ManifestEntry
{
    bool directory = false;
    std::string name; // as stored
    std::uint64_t size = 0;
    std::string md5;
};

// The manifest's rows grouped by archive, in the order of the archive's entries.
std::map<std::string, std::vector<ManifestEntry>> ReadManifest()
{
    std::map<std::string, std::vector<ManifestEntry>> archives;
    std::ifstream in(kCorpus / "MANIFEST.tsv");
    std::string line;
    std::getline(in, line); // the column names
    while (std::getline(in, line)) {
        std::vector<std::string> cells;
        std::stringstream row(line);
        std::string cell;
        while (std::getline(row, cell, '\t')) {
            cells.push_back(cell);
        }
        if (cells.size() < 11) {
            continue;
        }
        ManifestEntry entry;
        entry.directory = cells[6] == "dir";
        entry.name = cells[7];
        entry.size = std::stoull(cells[9]);
        entry.md5 = cells[10];
        archives[cells[0]].push_back(entry);
    }
    return archives;
}

TEST(Md5, KnownDigests)
{
    EXPECT_EQ(test::Md5Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(test::Md5Hex("abc"), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(test::Md5Hex(std::string(1000, 'a')), "cabe45dcc9ae5b66ba86600cca6b8ba8");
}

TEST(LhaCorpus, EveryArchiveListsAndExtractsByteIdentical)
{
    FURLOX_REQUIRE_CORPUS();
    const auto manifest = ReadManifest();
    ASSERT_FALSE(manifest.empty());
    for (const auto& [archiveName, entries] : manifest) {
        SCOPED_TRACE(archiveName);
        const fs::path archive = kCorpus / archiveName;
        TArchiveFile file;
        file.SetFileName(Utf8Text(archive));
        ASSERT_EQ(file.OpenArchive(0x800000), 0);
        std::vector<std::string> listed;
        EntryInfo info;
        int code = file.FindFirst("*.*", info);
        for (; code == 0; code = file.FindNext(info)) {
            listed.push_back(info.fileName);
        }
        file.CloseArchive();
        EXPECT_EQ(code, lha::kEndOfList);
        std::vector<std::string> expected;
        for (const ManifestEntry& entry : entries) {
            expected.push_back(entry.name);
        }
        EXPECT_EQ(listed, expected);

        test::TempDir out;
        file.Options().c = 1;
        file.SetOutputSize(4096);
        ASSERT_EQ(file.Extract(nullptr, {}, Utf8Text(out.path())), 0) << file.OutputText();
        for (const ManifestEntry& entry : entries) {
            const fs::path path = out.path() / *lha::SafeRelativePath(entry.name);
            if (entry.directory) {
                EXPECT_TRUE(fs::is_directory(path)) << entry.name;
                continue;
            }
            const std::string content = test::ReadFile(path);
            EXPECT_EQ(content.size(), entry.size) << entry.name;
            EXPECT_EQ(test::Md5Hex(content), entry.md5) << entry.name;
        }
    }
}

TEST(LhaCorpus, EveryArchiveIsInTheManifestOrKnownUnreadable)
{
    FURLOX_REQUIRE_CORPUS();
    const auto manifest = ReadManifest();
    for (const auto& item : fs::directory_iterator(kCorpus)) {
        const std::string name = Utf8Text(item.path().filename());
        if (item.path().extension() != ".lzh") {
            continue;
        }
        SCOPED_TRACE(name);
        if (kExpectedUnreadable.count(name) == 0) {
            EXPECT_TRUE(manifest.count(name)) << "an archive without manifest rows";
            continue;
        }
        test::TempDir out;
        TArchiveFile file;
        file.SetFileName(Utf8Text(item.path()));
        file.Options().c = 1;
        EXPECT_NE(file.Extract(nullptr, {}, Utf8Text(out.path())), 0);
        EXPECT_TRUE(fs::is_empty(out.path()));
    }
}

} // namespace
} // namespace furlox::archive
