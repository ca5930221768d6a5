// The module writer's model of a song: instruments with their synthesized samples, patterns
// of rows per channel, and the order list. The notation reader fills it, the MOD and XM
// writers turn it into a file.
#pragma once
#include "audio/modformat.h"

#include <cstdint>
#include <string>
#include <vector>

// One cell of a pattern.
constexpr int NOTE_NONE = -1;
constexpr int NOTE_OFF = -2; // key off (XM) or volume 0 (MOD)

struct Cell {
    int note = NOTE_NONE; // concert MIDI note number (60 = middle C), or NOTE_*
    int instrument = -1;  // index into Song::instruments, -1 none
    int volume = -1;      // 0 ... 64, -1 none
    int effect = -1;      // 0 ... 15, -1 none
    int param = 0;
};

struct Instrument {
    std::string name;
    std::string wave;          // the synthesis recipe's waveform
    std::vector<int16_t> data; // the sample
    int loopStart = 0;         // in samples
    int loopLength = 0;        // 0: plays once
    int volume = 64;           // default volume 0 ... 64
    int pan = 128;             // XM only: 0 left ... 255 right
    // Pitch: a tonal sample repeats every `cycle` samples, so played at rate r it sounds
    // r / cycle Hz. A drum (cycle 0) always plays at the fixed drum note.
    int cycle = 0;
};

struct Pattern {
    std::string name;
    int rows = 64;
    std::vector<std::vector<Cell>> cells; // [row][channel]
};

struct Song {
    std::string title;
    std::string format = "mod"; // "mod" or "xm"
    int channels = 4;
    int speed = MOD_SPEED; // ticks per row
    int tempo = MOD_TEMPO; // BPM
    // The song's level in the game's mix, in percent of the volumes it is written with: it
    // scales every instrument and every volume in the patterns, so the stage tracks can be
    // evened out and leave room for the sound effects without rewriting their balance.
    int mix = 100;
    std::vector<Instrument> instruments;
    std::vector<Pattern> patterns;
    std::vector<int> order; // pattern indices
};

// Drums are synthesized for this playback rate and triggered at the note that plays it.
constexpr double DRUM_RATE = 16726.0;
constexpr int DRUM_NOTE = 84; // concert C6: tracker C-3 in a MOD, C-5 in an XM
// The rate at which a tracker plays a sample at its middle note (XM C-4, MOD C-2).
constexpr double BASE_RATE = 8363.0;

// Reads the notation of a song file named `path`; on a fault returns false with
// "file:line: message" in `fault`.
bool parseSong(const std::string& text, const std::string& path, Song& song, std::string& fault);
// The same for a file; a fault is printed to stderr.
bool readSong(const std::string& path, Song& song);
// Synthesizes an instrument's sample from its recipe ("key=value" parameters).
bool synthesize(Instrument& inst, const std::vector<std::pair<std::string, double>>& params,
                std::string& fault);
// Writers; false with a message in `fault` when the song does not fit the format.
bool writeMod(const Song& song, std::vector<uint8_t>& out, std::string& fault);
bool writeXm(const Song& song, std::vector<uint8_t>& out, std::string& fault);
// Seconds of one play of the song (rows times ticks at the song's speed and tempo).
double songSeconds(const Song& song);
