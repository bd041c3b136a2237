#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

// A synthetic but realistic race day in the KOL file formats, for demos, tests and
// benchmarks. The same options always give the same bytes.
namespace furlox::kol {

struct SampleOptions
{
    std::uint64_t seed = 1;
    int races = 36;    // 1 to 36; three courses of twelve races
    bool full = false; // every race 18 runners, every horse five past runs
};

struct SampleFiles
{
    std::string raceFile;  // kol_den1.kd2, CP932, CR LF
    std::string entryFile; // kol_den2.kd2
    std::string horseFile; // kol_uma.kd2
};

SampleFiles MakeSampleDay(const SampleOptions& options);

// Writes the three files into dir (created when missing). Throws furlox::Error on failure.
void WriteSampleDay(const SampleOptions& options, const std::filesystem::path& dir);

} // namespace furlox::kol
