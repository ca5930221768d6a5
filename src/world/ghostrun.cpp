// Writing and reading run files. The controls are ordinary replay lines; everything else
// hides in comments, so a run file is a replay to any reader of replays. Reading checks
// every field: a run file may be cut short by a full disk, edited, or come from elsewhere.
#include "world/ghostrun.h"

#include "data/safe_write.h"
#include "gfx/blocks.h"
#include "world/flowstate.h"
#include "world/map.h"

#include <cstdio>
#include <sstream>
#include <sys/stat.h>

namespace {

const char* const RUNS_DIR = "runs";
const char* const HEADER = "# trobz3 run"; // then stage=, frames=, time=, score=, rings=
const char* const TRAIL_MARK = "#@";       // then x, y and sprite of one frame

// Where a living hero can be: anywhere along the widest map, a jump above the top row, and
// down to where a fall ends the attempt.
constexpr int TRAIL_MIN_X = 0, TRAIL_MAX_X = MAX_MAP_COLUMNS * CELL;
constexpr int TRAIL_MIN_Y = -appletHeight, TRAIL_MAX_Y = 2 * appletHeight;
constexpr int MAX_RINGS = MAX_MAP_COLUMNS * MAP_ROWS;

constexpr int FRAMES_PER_SECOND = 60;
constexpr int SECONDS_PER_MINUTE = 60;

// A whole number in [lo, hi]: an optional minus sign and digits, nothing else.
bool readNumber(const std::string& word, int lo, int hi, int* value) {
    size_t i = word.size() > 1 && word[0] == '-' ? 1 : 0;
    if (i == word.size()) return false;
    long v = 0;
    for (; i < word.size(); i++) {
        if (word[i] < '0' || word[i] > '9') return false;
        v = v * 10 + (word[i] - '0');
        if (v > 1000000000L) return false;
    }
    if (word[0] == '-') v = -v;
    if (v < lo || v > hi) return false;
    *value = (int)v;
    return true;
}

// "key=value" with a whole number in [lo, hi].
bool readField(const std::string& word, const char* key, int lo, int hi, int* value) {
    const std::string prefix = std::string(key) + "=";
    return word.compare(0, prefix.size(), prefix) == 0 &&
           readNumber(word.substr(prefix.size()), lo, hi, value);
}

bool readHeader(const std::string& line, GhostRun* run) {
    if (line.compare(0, std::string(HEADER).size(), HEADER) != 0) return false;
    std::istringstream words(line.substr(std::string(HEADER).size()));
    std::string stage, frames, time, points, rings, extra;
    words >> stage >> frames >> time >> points >> rings;
    // the time is there for people; the frames say it exactly
    return !(words >> extra) && readField(stage, "stage", 1, LAST_LEVEL, &run->stage) &&
           readField(frames, "frames", 1, GHOST_RUN_MAX_FRAMES, &run->frames) &&
           time.compare(0, 5, "time=") == 0 &&
           readField(points, "score", 0, MAX_SCORE, &run->score) &&
           readField(rings, "rings", 0, MAX_RINGS, &run->rings);
}

bool readTrail(const std::string& line, GhostRun* run) {
    std::istringstream words(line.substr(std::string(TRAIL_MARK).size()));
    std::string x, y, sprite, extra;
    GhostFrame f;
    if (!(words >> x >> y >> sprite) || (words >> extra) ||
        !readNumber(x, TRAIL_MIN_X, TRAIL_MAX_X, &f.x) ||
        !readNumber(y, TRAIL_MIN_Y, TRAIL_MAX_Y, &f.y) ||
        !readNumber(sprite, 0, NUM_BLOCKS - 1, &f.sprite) ||
        (int)run->trail.size() >= GHOST_RUN_MAX_FRAMES)
        return false;
    run->trail.push_back(f);
    return true;
}

} // namespace

std::string formatRunTime(int frames) {
    if (frames < 0) frames = 0;
    const int seconds = frames / FRAMES_PER_SECOND;
    const int hundredths = frames % FRAMES_PER_SECOND * 100 / FRAMES_PER_SECOND;
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d.%02d", seconds / SECONDS_PER_MINUTE,
                  seconds % SECONDS_PER_MINUTE, hundredths);
    return text;
}

std::string formatGhostRun(const GhostRun& run) {
    std::string text =
        std::string(HEADER) + " stage=" + std::to_string(run.stage) +
        " frames=" + std::to_string(run.frames) + " time=" + formatRunTime(run.frames) +
        " score=" + std::to_string(run.score) + " rings=" + std::to_string(run.rings) + "\n";
    text += formatReplay(run.input);
    text += "# the hero after each frame: x y sprite\n";
    for (const GhostFrame& f : run.trail)
        text += std::string(TRAIL_MARK) + " " + std::to_string(f.x) + " " + std::to_string(f.y) +
                " " + std::to_string(f.sprite) + "\n";
    return text;
}

bool parseGhostRun(const std::string& text, int stage, GhostRun* run) {
    GhostRun r;
    std::istringstream lines(text);
    std::string line;
    bool ok = std::getline(lines, line) && readHeader(line, &r) && r.stage == stage;
    while (ok && std::getline(lines, line))
        if (line.compare(0, std::string(TRAIL_MARK).size(), TRAIL_MARK) == 0)
            ok = readTrail(line, &r);
    // the controls are read as any replay reads them
    ok = ok && parseReplay(text, &r.input, nullptr) && r.input.totalFrames == r.frames &&
         (int)r.trail.size() == r.frames;
    *run = ok ? std::move(r) : GhostRun();
    return ok;
}

std::string ghostRunPath(int stage) {
    const int n = stage >= 0 && stage < NUM_LEVELS ? stage : 0;
    return std::string(RUNS_DIR) + "/" + levelNames[n] + ".txt";
}

bool loadGhostRun(int stage, GhostRun* run) {
    *run = GhostRun();
    FILE* f = std::fopen(ghostRunPath(stage).c_str(), "rb");
    if (!f) return false;
    std::string text;
    char buf[4096];
    size_t got;
    while ((long)text.size() <= GHOST_RUN_MAX_BYTES &&
           (got = std::fread(buf, 1, sizeof buf, f)) > 0)
        text.append(buf, got);
    const bool readWhole = !std::ferror(f) && (long)text.size() <= GHOST_RUN_MAX_BYTES;
    std::fclose(f);
    return readWhole && parseGhostRun(text, stage, run);
}

bool saveGhostRun(const GhostRun& run) {
    if (run.stage < 1 || run.stage > LAST_LEVEL) return false;
    mkdir(RUNS_DIR, 0777); // already there is fine; anything else fails the write below
    const std::string text = formatGhostRun(run);
    return writeFileSafely(ghostRunPath(run.stage).c_str(), text.data(), text.size());
}
