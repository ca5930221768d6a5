// stagesolve: searches for input that clears a stage and writes it as a replay. It is the
// modder's check that a stage can be cleared: it tells how long a clear takes and, when it
// finds none, which rings no try ever reached.
//   stagesolve MAP.bin [--stage N] [--out REPLAY] [--beam N] [--step FRAMES]
//              [--seconds S] [--from-checkpoint] [--best FILE] [--verbose]
// N is the stage number the map is played as (default 1). Without a clear, --best writes
// the try that got furthest, to look at with stagepic. Exit status 0 when cleared.
#include "solver.h"
#include "stagetext.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

static int usage() {
    std::fprintf(stderr,
                 "usage: stagesolve MAP.bin [--stage N] [--out REPLAY] [--beam N] "
                 "[--step FRAMES] [--seconds S] [--from-checkpoint] [--best FILE] [--verbose]\n");
    return 2;
}

int main(int argc, char** argv) {
    SolverOptions opt;
    std::string in, out, best;
    for (int i = 1; i < argc; i++) {
        std::string a = argv[i];
        bool more = i + 1 < argc;
        if (a == "--stage" && more)
            opt.stage = std::atoi(argv[++i]);
        else if (a == "--out" && more)
            out = argv[++i];
        else if (a == "--beam" && more)
            opt.beam = std::atoi(argv[++i]);
        else if (a == "--step" && more)
            opt.stepFrames = std::atoi(argv[++i]);
        else if (a == "--seconds" && more)
            opt.seconds = std::atof(argv[++i]);
        else if (a == "--best" && more)
            best = argv[++i];
        else if (a == "--from-checkpoint")
            opt.fromCheckpoint = true;
        else if (a == "--verbose")
            opt.verbose = true;
        else if (a[0] == '-' || !in.empty())
            return usage();
        else
            in = a;
    }
    if (in.empty() || opt.beam < 1 || opt.stepFrames < 1 || opt.stepFrames > 60) return usage();
    std::string text, error;
    if (!readTextFile(in, &text, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    const std::vector<uint8_t> bytes(text.begin(), text.end());

    SolverResult r = solveStage(bytes, opt);
    if (!r.cleared) {
        std::printf("%s: not cleared: %s\n", in.c_str(), r.problem.c_str());
        std::printf("  best try took %d of %d rings, after %d decisions in %.1f s\n", r.bestRings,
                    r.rings, r.layers, r.seconds);
        for (const RingCell& g : r.unreached)
            std::printf("  ring at column %d, row %d was never reached\n", g.column + 1, g.row + 1);
        if (!best.empty()) {
            text = "# The furthest try of stagesolve; it does not clear the stage.\n" +
                   formatReplay(r.replay);
            if (!writeBinaryFile(best, text.data(), text.size(), &error))
                std::fprintf(stderr, "%s\n", error.c_str());
        }
        return 1;
    }
    std::printf("%s: cleared in %d frames (%.1f s of play, %.1f s left on the clock), %d rings; "
                "search %.1f s\n",
                in.c_str(), r.frames, r.frames / 60.0, r.timeLeft / 60.0, r.rings, r.seconds);
    if (!out.empty()) {
        char head[200];
        std::snprintf(head, sizeof head,
                      "# Found by stagesolve: clears the stage%s in %d frames with all %d rings.\n",
                      opt.fromCheckpoint ? " from its checkpoint flag" : "", r.frames, r.rings);
        text = head + formatReplay(r.replay);
        if (!writeBinaryFile(out, text.data(), text.size(), &error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
    }
    return 0;
}
