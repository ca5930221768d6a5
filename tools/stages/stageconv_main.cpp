// stageconv: turns a stage source into the stage file the game loads.
//   stageconv --legend LEGEND [--title] STAGE [OUT.bin]
// Without OUT only checks. Every problem is printed as file:line:column: message, and any
// problem makes it fail, so a broken stage stops the build. --title is for the title
// stage, which has no hero, door or rings to check.
#include "stagetext.h"

#include <cstdio>
#include <cstring>

static int usage() {
    std::fprintf(stderr, "usage: stageconv --legend LEGEND [--title] STAGE [OUT.bin]\n");
    return 2;
}

int main(int argc, char** argv) {
    std::string legendPath, in, out;
    bool title = false;
    for (int i = 1; i < argc; i++) {
        if (!std::strcmp(argv[i], "--legend") && i + 1 < argc)
            legendPath = argv[++i];
        else if (!std::strcmp(argv[i], "--title"))
            title = true;
        else if (!takeFileArgument(argv[i], &in, &out))
            return usage();
    }
    if (legendPath.empty() || in.empty()) return usage();

    std::string error, text;
    LegendFile legend;
    if (!loadLegendFile(legendPath, &legend, &error) || !readTextFile(in, &text, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    StageSource source;
    StageGrid grid;
    std::vector<std::string> errors;
    if (!compileStage(text, in, legend, !title, &source, &grid, &errors)) {
        for (const std::string& e : errors)
            std::fprintf(stderr, "%s\n", e.c_str());
        return 1;
    }
    if (!out.empty()) {
        std::vector<uint8_t> bytes = encodeStage(grid);
        if (!writeBinaryFile(out, bytes.data(), bytes.size(), &error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
    }
    return 0;
}
