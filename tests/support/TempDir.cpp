#include "support/TempDir.h"

#include <chrono>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace furlox::test {

TempDir::TempDir()
{
    static std::mt19937_64 random{
        std::random_device{}() ^
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count())};
    const std::filesystem::path parent = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = "furlox-test-" + std::to_string(random());
        // False when the name is taken already: another one is drawn.
        if (std::filesystem::create_directory(parent / name)) {
            m_path = parent / name;
            return;
        }
    }
    throw std::runtime_error("TempDir: no fresh folder could be made in the temporary folder");
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(m_path, ec);
}

void TempDir::Write(std::string_view name, std::string_view bytes) const
{
    std::ofstream out(m_path / Utf8Path(name), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string TempDir::Read(std::string_view name) const
{
    return ReadFile(m_path / Utf8Path(name));
}

std::set<std::string> NamesIn(const std::filesystem::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = Utf8Text(entry.path().filename());
        if (name != ".furlox-lock") {
            names.insert(name);
        }
    }
    return names;
}

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace furlox::test
