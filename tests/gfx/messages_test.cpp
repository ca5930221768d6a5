// The message table: every English text is there and uses only characters the fonts draw,
// the other languages are empty, and the scroller is framed by blank lines.
#include "gfx/messages.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// The fonts hold glyphs from the blank (32) to 'Z' (90); the game's texts use these.
bool drawable(char c) {
    return c == ' ' || c == '!' || c == '(' || c == ')' || c == ',' || c == '-' || c == '.' ||
           c == ':' || c == '?' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z');
}

} // namespace

TEST(Messages, EveryEnglishTextExistsAndIsDrawable) {
    for (int i = 0; i < NUM_MESSAGES; i++) {
        const char* t = translation[0][i];
        ASSERT_NE(t, nullptr) << i;
        for (const char* p = t; *p; p++)
            EXPECT_TRUE(drawable(*p)) << "message " << i << " has '" << *p << "'";
        if (i != 82) {
            EXPECT_GT(std::strlen(t), 0u) << i;
        }
    }
    EXPECT_STREQ(translation[0][82], "");
}

TEST(Messages, TextsSitAtTheirNumbers) {
    lang_id = 0;
    EXPECT_STREQ(message(0), "IMPALED TO DEATH");
    EXPECT_STREQ(message(9), " HURRY:");
    EXPECT_STREQ(message(MSG_RUN), "TROBZ, RUN!");
    EXPECT_STREQ(message(55), "PRESS LEFT FOR YES, PRESS RIGHT FOR NO");
    EXPECT_STREQ(message(MSG_CREDITS), "CREDITS");
    EXPECT_STREQ(message(79), "HOMEPAGES.");
    EXPECT_STREQ(message(MSG_PRESS_UP), "PRESS UP TO GO ON");
    EXPECT_STREQ(message(MSG_ATTENTION), "ATTENTION");
    EXPECT_STREQ(message(88), "YOU HAVE BEEN WARNED!");
}

TEST(Messages, OtherLanguagesAreEmpty) {
    for (int lang = 1; lang < NUM_LANGUAGES; lang++)
        for (int i = 0; i < NUM_MESSAGES; i++) {
            ASSERT_NE(translation[lang][i], nullptr) << lang << " " << i;
            EXPECT_STREQ(translation[lang][i], "") << lang << " " << i;
        }
}

TEST(Messages, TheScrollerIsFramedByFortyBlanks) {
    std::string s = translation[0][MSG_SCROLLER];
    const std::string blanks(40, ' ');
    ASSERT_GT(s.size(), 2 * blanks.size() + 40);
    EXPECT_EQ(s.substr(0, 40), blanks);
    EXPECT_EQ(s.substr(s.size() - 40), blanks);
    EXPECT_NE(s[40], ' ');
    EXPECT_NE(s[s.size() - 41], ' ');
}
