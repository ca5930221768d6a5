// Fuzzes the stage text readers with a legend and a stage text, the input split at its first
// NUL byte: a stage they take has its cells checked by the stage rules, and its cells give
// back the same rows, the same text and the same stage file bytes.
#include "fuzz_check.h"
#include "stagetext.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input((const char*)data, size);
    const size_t split = input.find('\0');
    if (split == std::string::npos) return 0;
    LegendFile legendFile;
    StageSource source;
    Legend legend;
    StageGrid grid;
    std::string error;
    if (!parseLegendFile(input.substr(0, split), "legend.txt", &legendFile, &error) ||
        !parseStageSource(input.substr(split + 1), "f.stage", &source, &error) ||
        !resolveLegend(legendFile, source, &legend, &error) ||
        !sourceToGrid(source, legend, &grid, &error)) {
        FUZZ_CHECK(!error.empty());
        return 0;
    }
    for (bool playable : {false, true})
        for (const StageProblem& p : checkStage(grid, playable))
            FUZZ_CHECK((p.column < 0 && p.row < 0) || (p.column >= 0 && p.column < grid.columns &&
                                                       p.row >= 0 && p.row < MAP_ROWS));

    std::vector<std::string> rows;
    FUZZ_CHECK(gridToRows(grid, legend, "f.stage", &rows, &error) && rows == source.rows);
    StageSource again;
    FUZZ_CHECK(parseStageSource(formatStageSource(source.header, rows), "f.stage", &again, &error));
    FUZZ_CHECK(again.header == source.header && again.rows == rows);
    const std::vector<uint8_t> bytes = encodeStage(grid);
    StageGrid decoded;
    FUZZ_CHECK(decodeStage(bytes.data(), bytes.size(), &decoded, &error));
    FUZZ_CHECK(decoded.columns == grid.columns && decoded.cells == grid.cells);
    return 0;
}
