// stagetmx: stage sources to Tiled maps and back, so a stage can be edited in Tiled.
//   stagetmx to-tmx   --legend LEGEND STAGE OUT.tmx [--sheet IMAGE]
//   stagetmx from-tmx --legend LEGEND IN.tmx OUT.stage [--tileset NAME]
// IMAGE is the tileset image as the map should name it (default ../gfx/blocks.bmp, the
// block sheet of the build as seen from <build>/tmx). A map that came from a stage carries
// the stage's header; one made from scratch needs --tileset for its symbols.
#include "stagetext.h"
#include "tmx.h"

#include <cstdio>
#include <cstring>

static int usage() {
    std::fprintf(stderr,
                 "usage: stagetmx to-tmx --legend LEGEND STAGE OUT.tmx [--sheet IMAGE]\n"
                 "       stagetmx from-tmx --legend LEGEND IN.tmx OUT.stage [--tileset NAME]\n");
    return 2;
}

static int fail(const std::string& why) {
    std::fprintf(stderr, "%s\n", why.c_str());
    return 1;
}

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    std::string mode = argv[1], legendPath, sheet = "../gfx/blocks.bmp", tileset, in, out;
    for (int i = 2; i < argc; i++) {
        if (!std::strcmp(argv[i], "--legend") && i + 1 < argc)
            legendPath = argv[++i];
        else if (!std::strcmp(argv[i], "--sheet") && i + 1 < argc)
            sheet = argv[++i];
        else if (!std::strcmp(argv[i], "--tileset") && i + 1 < argc)
            tileset = argv[++i];
        else if (!takeFileArgument(argv[i], &in, &out))
            return usage();
    }
    if (legendPath.empty() || in.empty() || out.empty()) return usage();
    std::string error, text;
    LegendFile legendFile;
    if (!loadLegendFile(legendPath, &legendFile, &error) || !readTextFile(in, &text, &error))
        return fail(error);

    if (mode == "to-tmx") {
        StageSource source;
        Legend legend;
        StageGrid grid;
        if (!parseStageSource(text, in, &source, &error) ||
            !resolveLegend(legendFile, source, &legend, &error) ||
            !sourceToGrid(source, legend, &grid, &error))
            return fail(error);
        std::string xml = writeTmx(grid, source.header, sheet);
        if (!writeBinaryFile(out, xml.data(), xml.size(), &error)) return fail(error);
        return 0;
    }
    if (mode == "from-tmx") {
        StageGrid grid;
        std::string header;
        bool hasHeader = false;
        if (!readTmx(text, in, &grid, &header, &hasHeader, &error)) return fail(error);
        if (!tileset.empty()) {
            if (hasHeader) return fail(in + ": the map has its header; --tileset is for new maps");
            header = "tileset " + tileset + "\n";
        } else if (!hasHeader) {
            return fail(in + ": the map has no \"header\" property; name its symbols with "
                             "--tileset NAME");
        }
        // a header typed into Tiled's property box may lack its last line end
        if (!header.empty() && header.back() != '\n') header += '\n';
        // the header is parsed as the stage would be, with a map to satisfy the parser
        StageSource source;
        Legend legend;
        std::string probe = formatStageSource(
            header, std::vector<std::string>(MAP_ROWS, std::string(MIN_MAP_COLUMNS, '.')));
        if (!parseStageSource(probe, in, &source, &error) ||
            !resolveLegend(legendFile, source, &legend, &error))
            return fail(error);
        std::vector<std::string> rows;
        if (!gridToRows(grid, legend, in, &rows, &error)) return fail(error);
        std::string stage = formatStageSource(header, rows);
        if (!writeBinaryFile(out, stage.data(), stage.size(), &error)) return fail(error);
        return 0;
    }
    return usage();
}
