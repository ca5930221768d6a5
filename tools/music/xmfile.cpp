// Writes a song as an XM module (version 1.04): any channel count up to 32, patterns of
// their own length, one instrument per sample with 16-bit delta-coded data, notes on the
// linear frequency table, volumes in the volume column and key off as note 97.
#include "song.h"

#include <cmath>

namespace {

constexpr int XM_HEADER_SIZE = 276; // from the size field to the end of the order table
constexpr int XM_INSTRUMENT_HEADER = 263;
constexpr int XM_SAMPLE_HEADER = 40;
constexpr int XM_NOTE_OFF = 97;
constexpr int XM_DRUM_NOTE = 61; // C-5
constexpr int XM_MAX_INSTRUMENTS = 128;

void put8(std::vector<uint8_t>& out, int v) {
    out.push_back(v & 0xFF);
}
void put16(std::vector<uint8_t>& out, int v) {
    put8(out, v);
    put8(out, v >> 8);
}
void put32(std::vector<uint8_t>& out, long v) {
    put16(out, (int)(v & 0xFFFF));
    put16(out, (int)((v >> 16) & 0xFFFF));
}
void putText(std::vector<uint8_t>& out, const std::string& text, size_t width, char pad = 0) {
    for (size_t i = 0; i < width; i++)
        out.push_back(i < text.size() ? (uint8_t)text[i] : (uint8_t)pad);
}

int relativeNote(const Instrument& inst) {
    return inst.cycle ? (int)std::lround(12 * std::log2(inst.cycle / 32.0)) : 0;
}

} // namespace

bool writeXm(const Song& song, std::vector<uint8_t>& out, std::string& fault) {
    if (song.instruments.size() > XM_MAX_INSTRUMENTS)
        return (fault = "an XM has at most 128 instruments"), false;
    if (song.order.size() > 256 || song.patterns.size() > 256)
        return (fault = "an XM has at most 256 orders and patterns"), false;

    putText(out, "Extended Module: ", 17);
    putText(out, song.title, 20);
    put8(out, 0x1A);
    putText(out, "trobz3 module writer", 20);
    put16(out, 0x0104);
    put32(out, XM_HEADER_SIZE);
    put16(out, (int)song.order.size());
    put16(out, 0); // restart position
    put16(out, song.channels);
    put16(out, (int)song.patterns.size());
    put16(out, (int)song.instruments.size());
    put16(out, 1); // linear frequency table
    put16(out, song.speed);
    put16(out, song.tempo);
    for (int i = 0; i < 256; i++)
        put8(out, i < (int)song.order.size() ? song.order[i] : 0);

    for (const Pattern& p : song.patterns) {
        std::vector<uint8_t> packed;
        for (int r = 0; r < p.rows; r++) {
            for (int c = 0; c < song.channels; c++) {
                const Cell& cell = p.cells[r][c];
                int note = 0;
                if (cell.note == NOTE_OFF) {
                    note = XM_NOTE_OFF;
                } else if (cell.note >= 0) {
                    const Instrument& inst = song.instruments[cell.instrument];
                    note = inst.cycle ? cell.note - 11 : XM_DRUM_NOTE;
                    if (note < 1 || note > 96 || note + relativeNote(inst) > 119)
                        return (fault = "pattern " + p.name + " row " + std::to_string(r) +
                                        ": note out of the XM range for " + inst.name),
                               false;
                }
                int mask = 0x80;
                if (note) mask |= 0x01;
                if (cell.note >= 0) mask |= 0x02;
                if (cell.volume >= 0) mask |= 0x04;
                if (cell.effect >= 0) mask |= 0x08 | 0x10;
                put8(packed, mask);
                if (mask & 0x01) put8(packed, note);
                if (mask & 0x02) put8(packed, cell.instrument + 1);
                if (mask & 0x04) put8(packed, 0x10 + cell.volume);
                if (mask & 0x08) {
                    put8(packed, cell.effect);
                    put8(packed, cell.param);
                }
            }
        }
        if (packed.size() > 0xFFFF)
            return (fault = "pattern " + p.name + " packs too large"), false;
        put32(out, 9);
        put8(out, 0);
        put16(out, p.rows);
        put16(out, (int)packed.size());
        out.insert(out.end(), packed.begin(), packed.end());
    }

    for (const Instrument& inst : song.instruments) {
        size_t start = out.size();
        put32(out, XM_INSTRUMENT_HEADER);
        putText(out, inst.name, 22);
        put8(out, 0);
        put16(out, 1); // one sample
        put32(out, XM_SAMPLE_HEADER);
        for (int k = 0; k < 96; k++)
            put8(out, 0); // every key plays sample 0
        for (int k = 0; k < 96; k++)
            put8(out, 0); // no volume or panning envelope points
        put8(out, 0);     // volume points
        put8(out, 0);     // panning points
        for (int k = 0; k < 6; k++)
            put8(out, 0); // sustain and loop points
        put8(out, 0);     // volume envelope off
        put8(out, 0);     // panning envelope off
        for (int k = 0; k < 4; k++)
            put8(out, 0); // no auto-vibrato
        put16(out, 0);    // no fade-out
        while (out.size() - start < XM_INSTRUMENT_HEADER)
            put8(out, 0);

        long bytes = (long)inst.data.size() * 2;
        put32(out, bytes);
        put32(out, inst.loopLength ? inst.loopStart * 2L : 0);
        put32(out, inst.loopLength * 2L);
        put8(out, inst.volume);
        put8(out, 0);                                // finetune
        put8(out, (inst.loopLength ? 1 : 0) | 0x10); // forward loop, 16-bit
        put8(out, inst.pan);
        put8(out, relativeNote(inst));
        put8(out, 0);
        putText(out, inst.name, 22);
        int16_t previous = 0;
        for (int16_t v : inst.data) {
            put16(out, (int16_t)(v - previous));
            previous = v;
        }
    }
    return true;
}
