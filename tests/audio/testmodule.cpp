#include "testmodule.h"

#include <cstring>

std::vector<uint8_t> testModule(int extraEffect) {
    std::vector<uint8_t> m(1084, 0);
    std::memcpy(m.data(), "player test", 11);
    // sample 1: 64 bytes of square wave, all of it looping
    uint8_t* s = m.data() + 20;
    s[22] = 0;
    s[23] = 32; // length in words
    s[25] = 64; // volume
    s[28] = 0;
    s[29] = 32; // loop length in words
    for (int i = 1; i < 31; i++)
        m[20 + i * 30 + 29] = 1;
    m[950] = 1; // one order
    m[951] = 127;
    m[952] = 0;
    std::memcpy(m.data() + 1080, "M.K.", 4);
    std::vector<uint8_t> pattern(64 * 4 * 4, 0);
    for (int row = 0; row < TEST_ROWS; row++) {
        uint8_t* cell = pattern.data() + row * 16;
        int period = row % 2 ? 285 : 428; // C-2 and G-2
        cell[0] = (period >> 8) & 0x0F;
        cell[1] = period & 0xFF;
        cell[2] = 1 << 4; // sample 1
        // channel 2: the same C-2 at volume 48
        cell[4] = (428 >> 8);
        cell[5] = 428 & 0xFF;
        cell[6] = (1 << 4) | 0x0C;
        cell[7] = 48;
    }
    pattern[8 + 2] = 0x0F; // row 0, channel 3: speed 1
    pattern[8 + 3] = 1;
    pattern[15 * 16 + 12 + 2] = 0x0D; // row 15, channel 4: break to the next order
    if (extraEffect) {
        pattern[3 * 16 + 12 + 2] = (extraEffect >> 8) & 0x0F;
        pattern[3 * 16 + 12 + 3] = extraEffect & 0xFF;
    }
    m.insert(m.end(), pattern.begin(), pattern.end());
    for (int i = 0; i < 64; i++)
        m.push_back(i < 32 ? 100 : (uint8_t)-100);
    return m;
}
