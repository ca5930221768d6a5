// Writes a song as a four-channel ProTracker module ("M.K."): 31 sample slots of 8-bit
// signed data, 64-row patterns, notes as Amiga periods over the three octaves ProTracker
// plays. A shorter pattern ends early with a pattern break; a speed or tempo other than
// ProTracker's 6 and 125 is set on the first row of the song.
#include "song.h"

#include "audio/modformat.h"

#include <cmath>

namespace {

constexpr int MOD_CHANNELS = 4;
constexpr int MOD_SAMPLES = 31;
constexpr int MOD_MAX_PATTERNS = 64;
constexpr int MOD_MAX_SAMPLE_BYTES = 131070;

// Periods of C-1 ... B-3 at finetune 0.
const int PERIODS[36] = {856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453,
                         428, 404, 381, 360, 339, 320, 302, 285, 269, 254, 240, 226,
                         214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113};
constexpr int DRUM_INDEX = 24; // C-3

void put16be(std::vector<uint8_t>& out, int v) {
    out.push_back((v >> 8) & 0xFF);
    out.push_back(v & 0xFF);
}

void putText(std::vector<uint8_t>& out, const std::string& text, size_t width) {
    for (size_t i = 0; i < width; i++)
        out.push_back(i < text.size() ? (uint8_t)text[i] : 0);
}

int octaveShift(int cycle) {
    return (int)std::lround(12 * std::log2(cycle / 32.0));
}

// Period index of a cell's note for its instrument, or -1 outside ProTracker's range.
int periodIndex(const Instrument& inst, int note) {
    if (inst.cycle == 0) return DRUM_INDEX;
    int index = note - 48 + octaveShift(inst.cycle);
    return index >= 0 && index < 36 ? index : -1;
}

// Puts an effect on a row where no channel has one; false when all are taken.
bool addRowEffect(std::vector<Cell>& row, int effect, int param) {
    for (Cell& c : row) {
        if (c.effect < 0 && c.volume < 0 && c.note != NOTE_OFF) {
            c.effect = effect;
            c.param = param;
            return true;
        }
    }
    return false;
}

} // namespace

bool writeMod(const Song& song, std::vector<uint8_t>& out, std::string& fault) {
    if (song.channels != MOD_CHANNELS)
        return (fault = "a MOD has 4 channels; use format xm"), false;
    if (song.instruments.size() > MOD_SAMPLES)
        return (fault = "a MOD has at most 31 instruments"), false;
    if (song.patterns.size() > MOD_MAX_PATTERNS || song.order.size() > MOD_ORDERS)
        return (fault = "a MOD has at most 64 patterns and 128 orders"), false;

    std::vector<Pattern> patterns = song.patterns;
    for (Pattern& p : patterns) {
        if (p.rows > MOD_ROWS)
            return (fault = "pattern " + p.name + " is longer than 64 rows"), false;
        if (p.rows < MOD_ROWS && !addRowEffect(p.cells[p.rows - 1], FX_BREAK, 0))
            return (fault = "no free effect for the break at the end of " + p.name), false;
        p.cells.resize(MOD_ROWS, std::vector<Cell>(MOD_CHANNELS));
    }
    std::vector<Cell>& first = patterns[song.order[0]].cells[0];
    if ((song.speed != MOD_SPEED && !addRowEffect(first, FX_SPEED, song.speed)) ||
        (song.tempo != MOD_TEMPO && !addRowEffect(first, FX_SPEED, song.tempo)))
        return (fault = "no free effect on the first row for the speed and tempo"), false;

    // header and sample headers
    putText(out, song.title, 20);
    std::vector<std::vector<int8_t>> data;
    for (int s = 0; s < MOD_SAMPLES; s++) {
        std::vector<int8_t> bytes;
        const Instrument* inst = s < (int)song.instruments.size() ? &song.instruments[s] : nullptr;
        if (inst) {
            for (int16_t v : inst->data)
                bytes.push_back((int8_t)(v >> 8));
            if (bytes.size() % 2) bytes.push_back(0);
            if (bytes.size() > MOD_MAX_SAMPLE_BYTES)
                return (fault = "sample " + inst->name + " is too long for a MOD"), false;
        }
        // the last free slot's name says where the module came from
        putText(out, inst ? inst->name : s == MOD_SAMPLES - 1 ? "trobz3 module writer" : "", 22);
        put16be(out, (int)bytes.size() / 2);
        out.push_back(0); // finetune
        out.push_back(inst ? inst->volume : 0);
        if (inst && inst->loopLength > 0) {
            put16be(out, inst->loopStart / 2);
            put16be(out, inst->loopLength / 2);
        } else {
            put16be(out, 0);
            put16be(out, 1); // ProTracker's "no loop"
        }
        data.push_back(bytes);
    }
    out.push_back((uint8_t)song.order.size());
    out.push_back(127);
    for (int i = 0; i < MOD_ORDERS; i++)
        out.push_back(i < (int)song.order.size() ? song.order[i] : 0);
    putText(out, "M.K.", 4);

    // patterns
    for (const Pattern& p : patterns) {
        for (int r = 0; r < MOD_ROWS; r++) {
            for (int c = 0; c < MOD_CHANNELS; c++) {
                const Cell& cell = p.cells[r][c];
                int sample = 0, period = 0, effect = 0, param = 0;
                if (cell.note >= 0) {
                    const Instrument& inst = song.instruments[cell.instrument];
                    int index = periodIndex(inst, cell.note);
                    if (index < 0)
                        return (fault = "pattern " + p.name + " row " + std::to_string(r) +
                                        ": note out of the MOD range for " + inst.name),
                               false;
                    period = PERIODS[index];
                    sample = cell.instrument + 1;
                }
                if (cell.effect >= 0) {
                    effect = cell.effect;
                    param = cell.param;
                }
                if (cell.volume >= 0 || cell.note == NOTE_OFF) {
                    if (cell.effect >= 0)
                        return (fault = "pattern " + p.name + " row " + std::to_string(r) +
                                        ": a MOD cell has one effect, volume or other"),
                               false;
                    effect = FX_VOLUME;
                    param = cell.note == NOTE_OFF ? 0 : cell.volume;
                }
                out.push_back((sample & 0xF0) | (period >> 8));
                out.push_back(period & 0xFF);
                out.push_back(((sample & 0x0F) << 4) | (effect & 0x0F));
                out.push_back(param & 0xFF);
            }
        }
    }
    for (const auto& bytes : data)
        for (int8_t b : bytes)
            out.push_back((uint8_t)b);
    return true;
}
