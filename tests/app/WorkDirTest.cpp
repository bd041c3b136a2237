// Where the race data goes: the program's own folder when it was unpacked into one, the
// per-user data folder for an installed program, whoever runs it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/WorkDir.h"
#include "base/Encoding.h"
#include "base/Error.h"
#include "support/TempDir.h"

using namespace furlox;
namespace fs = std::filesystem;

namespace {

void Write(const fs::path& file, const std::string& text)
{
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

} // namespace

TEST(WorkDir, AProgramFolderOfItsOwnIsTheWorkDirectory)
{
    test::TempDir root;
    const fs::path program = root.path() / "Furlox";
    Write(program / "Foot.dat", "footer");
    EXPECT_EQ(ChooseWorkDir(program, root.path() / "user"), program);
    EXPECT_FALSE(fs::exists(root.path() / "user"));
}

TEST(WorkDir, AnInstalledProgramUsesTheUserFolderWithTheSharedFooter)
{
    // /usr/bin is writable for root; the data must still not land beside every other program.
    test::TempDir root;
    const fs::path bin = root.path() / "usr" / "bin";
    Write(bin / "furlox", "program");
    Write(root.path() / "usr" / "share" / "furlox" / "Foot.dat", "shared footer");
    const fs::path user = root.path() / "home" / "data" / "Morvane" / "Furlox";

    EXPECT_EQ(ChooseWorkDir(bin, user), user);
    EXPECT_TRUE(fs::is_directory(user));
    EXPECT_EQ(test::ReadFile(user / "Foot.dat"), "shared footer");
    EXPECT_FALSE(fs::exists(bin / "Foot.dat"));
}

TEST(WorkDir, TheUsersOwnFooterIsNeverOverwritten)
{
    test::TempDir root;
    const fs::path bin = root.path() / "usr" / "bin";
    Write(root.path() / "usr" / "share" / "furlox" / "Foot.dat", "shared footer");
    const fs::path user = root.path() / "user";
    Write(user / "Foot.dat", "edited by the user");

    EXPECT_EQ(ChooseWorkDir(bin, user), user);
    EXPECT_EQ(test::ReadFile(user / "Foot.dat"), "edited by the user");
}

TEST(WorkDir, AUserFolderThatCannotBeMadeIsSaid)
{
    // Something in the way of the per-user data folder: a plain file where a folder must be.
    test::TempDir root;
    const fs::path bin = root.path() / "usr" / "bin";
    Write(bin / "furlox", "program");
    Write(root.path() / "home", "a file, not a folder");
    try {
        ChooseWorkDir(bin, root.path() / "home" / "Morvane" / "Furlox");
        FAIL() << "the folder that cannot be made must be reported";
    } catch (const Error& e) {
        EXPECT_NE(ToUtf8(e.what()).find("データフォルダ"), std::string::npos);
        EXPECT_NE(ToUtf8(e.what()).find("を作成できません"), std::string::npos);
    }
}
