// balance [--seeds N] [--game DIR] [--out DIR] LEVELS
//   plays every level of the zones below LEVELS and writes report.txt and
//   difficulty.png into DIR (the working directory by default).
// balance --check [--game DIR] LEVELS
//   lists every problem of the zones below LEVELS, as the game reads them.
#include "tools/balance/Balance.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

int usage() {
    std::fprintf(stderr, "usage: balance [--seeds N] [--game DIR] [--out DIR] LEVELS\n"
                         "       balance --check [--game DIR] LEVELS\n");
    return 2;
}

int cannotWrite(const std::string& outDir) {
    std::fprintf(stderr, "balance: cannot write report.txt and difficulty.png in %s\n",
                 outDir.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    bool check = false;
    int seeds = 20;
    std::string gameDir = LURVANE_GAME_DIR, outDir = ".", levels;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--check")
            check = true;
        else if (arg == "--seeds" && i + 1 < argc)
            seeds = std::atoi(argv[++i]);
        else if (arg == "--game" && i + 1 < argc)
            gameDir = argv[++i];
        else if (arg == "--out" && i + 1 < argc)
            outDir = argv[++i];
        else if (levels.empty() && arg[0] != '-')
            levels = arg;
        else
            return usage();
    }
    if (levels.empty() || seeds < 0)
        return usage();
    std::error_code ec;
    levels = std::filesystem::absolute(levels, ec).string();
    outDir = std::filesystem::absolute(outDir, ec).string();

    if (check) {
        const std::vector<std::string> problems = checkZones(gameDir, levels);
        for (const std::string& p : problems)
            std::printf("%s\n\n", p.c_str());
        std::printf("%zu problem(s) found\n", problems.size());
        return problems.empty() ? 0 : 1;
    }

    // Checked before the long run, so that a directory the report cannot go
    // to is told at once and not after minutes of play; an earlier report
    // there is kept until the new one is written.
    std::filesystem::create_directories(outDir, ec);
    const std::string reportPath = outDir + "/report.txt", plotPath = outDir + "/difficulty.png";
    if (!std::ofstream(reportPath, std::ios::app) || !std::ofstream(plotPath, std::ios::app))
        return cannotWrite(outDir);

    std::vector<ZoneResult> zones;
    {
        HeadlessGame game;
        std::string error;
        if (!game.open(gameDir, levels, error)) {
            std::fprintf(stderr, "%s\n(balance --check lists every problem)\n", error.c_str());
            return 1;
        }
        zones = measureZones(game, seeds);
    }
    const std::string report = formatReport(zones, seeds);
    const std::vector<uint8_t> png = plotDifficulty(zones);
    std::ofstream reportFile(reportPath), plotFile(plotPath, std::ios::binary);
    reportFile << report;
    plotFile.write(reinterpret_cast<const char*>(png.data()),
                   static_cast<std::streamsize>(png.size()));
    reportFile.close();
    plotFile.close();
    if (!reportFile || !plotFile)
        return cannotWrite(outDir);
    std::fputs(formatSummary(zones).c_str(), stdout);
    return balanceProblems(zones).empty() ? 0 : 1;
}
