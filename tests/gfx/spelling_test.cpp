// The texts the player reads are spelt right: every word of every message is an English word
// of the system's word list (scripts/packages.txt installs it) or one of the game's own names.
#include "gfx/messages.h"

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <set>
#include <string>

TEST(Messages, EveryWordIsSpeltRight) {
    std::set<std::string> known = {"TROBZ",      "MASKY",    "WINGEDEYE", "ACIDFISH",
                                   "HISCORE",    "HISCORES", "SFX",       "SDL",
                                   "LIBMODPLUG", "ZLIB",     "UNMODDED"};
    std::ifstream list("/usr/share/dict/words");
    ASSERT_TRUE(list) << "no word list: install the package wamerican";
    for (std::string w; std::getline(list, w);) {
        for (char& c : w)
            c = (char)std::toupper((unsigned char)c);
        known.insert(w);
    }
    for (int m = 0; m < NUM_MESSAGES; m++) {
        std::string word;
        for (const char* p = translation[0][m];; p++) {
            if (std::isalpha((unsigned char)*p)) {
                word += *p;
                continue;
            }
            EXPECT_TRUE(word.empty() || known.count(word)) << "message " << m << ": " << word;
            word.clear();
            if (!*p) break;
        }
    }
}
