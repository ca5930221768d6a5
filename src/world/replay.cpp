// Reading and writing replays, the input runs that drive a stage without a player.
#include "world/replay.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <sstream>

static bool sameInput(const StageInput& a, const StageInput& b) {
    return a.left == b.left && a.right == b.right && a.jump == b.jump && a.crawl == b.crawl;
}

bool appendRun(Replay* replay, const StageInput& input, int frames) {
    if (frames < 1 || frames > REPLAY_MAX_RUN || frames > REPLAY_MAX_FRAMES - replay->totalFrames)
        return false;
    if (!replay->runs.empty()) {
        ReplayRun& last = replay->runs.back();
        if (sameInput(last.input, input) && last.frames <= REPLAY_MAX_RUN - frames) {
            last.frames += frames;
            replay->totalFrames += frames;
            return true;
        }
    }
    replay->runs.push_back({input, frames, replay->totalFrames});
    replay->totalFrames += frames;
    return true;
}

// The controls of one line: letters L, R, J, D each at most once, or a lone '-'.
static bool parseControls(const std::string& word, StageInput* in, std::string* why) {
    *in = StageInput{0, 0, 0, 0};
    if (word == "-") return true;
    for (char c : word) {
        int* flag = nullptr;
        switch (std::toupper((unsigned char)c)) {
        case 'L':
            flag = &in->left;
            break;
        case 'R':
            flag = &in->right;
            break;
        case 'J':
            flag = &in->jump;
            break;
        case 'D':
            flag = &in->crawl;
            break;
        default:
            *why = std::string("unknown control '") + c + "' (use L, R, J, D or -)";
            return false;
        }
        if (*flag) {
            *why = std::string("control '") + c + "' given twice";
            return false;
        }
        *flag = 1;
    }
    return true;
}

// A frame count: decimal digits only, 1 ... REPLAY_MAX_RUN.
static bool parseCount(const std::string& word, int* frames, std::string* why) {
    long value = 0;
    for (char c : word) {
        if (!std::isdigit((unsigned char)c)) {
            *why = "frame count \"" + word + "\" is not a number";
            return false;
        }
        value = value * 10 + (c - '0');
        if (value > REPLAY_MAX_RUN) break;
    }
    if (value < 1 || value > REPLAY_MAX_RUN) {
        *why = "frame count \"" + word + "\" is outside 1 ... " + std::to_string(REPLAY_MAX_RUN);
        return false;
    }
    *frames = (int)value;
    return true;
}

static bool parseLine(const std::string& raw, Replay* replay, std::string* why) {
    std::string line = raw.substr(0, raw.find('#'));
    std::istringstream words(line);
    std::string controls, count, extra;
    if (!(words >> controls)) return true; // blank or comment
    if (!(words >> count)) {
        *why = "expected the controls and a frame count, as in \"RJ 12\"";
        return false;
    }
    if (words >> extra) {
        *why = "unexpected \"" + extra + "\" after the frame count";
        return false;
    }
    StageInput in;
    int frames = 0;
    if (!parseControls(controls, &in, why) || !parseCount(count, &frames, why)) return false;
    if (!appendRun(replay, in, frames)) {
        *why = "the replay is longer than " + std::to_string(REPLAY_MAX_FRAMES) + " frames";
        return false;
    }
    return true;
}

bool parseReplay(const std::string& text, Replay* replay, std::string* error) {
    Replay result;
    std::istringstream lines(text);
    std::string line, why;
    int number = 0;
    while (std::getline(lines, line)) {
        number++;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!parseLine(line, &result, &why)) {
            if (error) *error = "line " + std::to_string(number) + ": " + why;
            *replay = Replay();
            return false;
        }
    }
    *replay = std::move(result);
    return true;
}

bool loadReplay(const char* path, Replay* replay, std::string* error) {
    std::string text;
    FILE* f = std::fopen(path, "rb");
    bool ok = f != nullptr;
    if (f) {
        char buf[4096];
        size_t got;
        while ((got = std::fread(buf, 1, sizeof buf, f)) > 0)
            text.append(buf, got);
        // a directory opens but cannot be read
        ok = !std::ferror(f);
        std::fclose(f);
    }
    if (!ok) {
        if (error) *error = std::string("cannot read ") + path;
        *replay = Replay();
        return false;
    }
    return parseReplay(text, replay, error);
}

StageInput replayInput(const Replay& replay, int frame) {
    if (frame < 0 || frame >= replay.totalFrames) return StageInput{0, 0, 0, 0};
    // the last run that starts at or before the frame
    auto it = std::upper_bound(replay.runs.begin(), replay.runs.end(), frame,
                               [](int f, const ReplayRun& r) { return f < r.first; });
    return (it - 1)->input;
}

std::string formatReplay(const Replay& replay) {
    std::string text;
    for (const ReplayRun& r : replay.runs) {
        std::string controls;
        if (r.input.left) controls += 'L';
        if (r.input.right) controls += 'R';
        if (r.input.jump) controls += 'J';
        if (r.input.crawl) controls += 'D';
        if (controls.empty()) controls = "-";
        text += controls + ' ' + std::to_string(r.frames) + '\n';
    }
    return text;
}
