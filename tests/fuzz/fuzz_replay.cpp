// Fuzzes the replay reader with arbitrary text: a replay it takes has runs that follow each
// other from frame 0, gives each run's input on its frames and nothing after the last, and
// reads back the same from its own text; one it refuses says on which line.
#include "fuzz_check.h"
#include "world/replay.h"

namespace {

bool same(const StageInput& a, const StageInput& b) {
    return a.left == b.left && a.right == b.right && a.jump == b.jump && a.crawl == b.crawl;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Replay replay;
    std::string error;
    if (!parseReplay(std::string((const char*)data, size), &replay, &error)) {
        FUZZ_CHECK(error.rfind("line ", 0) == 0 && replay.runs.empty() && replay.totalFrames == 0);
        return 0;
    }
    int frame = 0;
    for (const ReplayRun& r : replay.runs) {
        FUZZ_CHECK(r.first == frame && r.frames >= 1 && r.frames <= REPLAY_MAX_RUN);
        FUZZ_CHECK(same(replayInput(replay, frame), r.input));
        FUZZ_CHECK(same(replayInput(replay, frame + r.frames - 1), r.input));
        frame += r.frames;
    }
    FUZZ_CHECK(frame == replay.totalFrames && frame <= REPLAY_MAX_FRAMES);
    FUZZ_CHECK(same(replayInput(replay, frame), StageInput{0, 0, 0, 0}));

    Replay again;
    FUZZ_CHECK(parseReplay(formatReplay(replay), &again, &error));
    FUZZ_CHECK(again.runs.size() == replay.runs.size() && again.totalFrames == frame);
    for (size_t i = 0; i < again.runs.size(); i++)
        FUZZ_CHECK(same(again.runs[i].input, replay.runs[i].input) &&
                   again.runs[i].frames == replay.runs[i].frames);
    return 0;
}
