// The message table: every English text is there and drawable, the other languages are
// empty, and the scroller is framed by blank lines.
#include "gfx/messages.h"
#include "version.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(Messages, EveryEnglishTextIsThereAndUsesOnlyCharactersTheFontsDraw) {
    const std::string drawable = " !(),-.:?0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    for (int i = 0; i < NUM_MESSAGES; i++) {
        const std::string t = translation[0][i];
        EXPECT_EQ(t.find_first_not_of(drawable), std::string::npos) << i << ": " << t;
        EXPECT_EQ(t.empty(), i == 82) << i;
        for (int lang = 1; lang < NUM_LANGUAGES; lang++)
            EXPECT_STREQ(translation[lang][i], "") << lang << " " << i;
    }
    lang_id = 0;
    const std::pair<int, const char*> spots[] = {{0, "IMPALED TO DEATH"},
                                                 {9, " HURRY:"},
                                                 {MSG_RUN, "TROBZ, RUN!"},
                                                 {24, "NOT AVAILABLE"},
                                                 {50, "ALREADY USED, CHOOSE ANOTHER ONE"},
                                                 {55, "PRESS LEFT FOR YES, PRESS RIGHT FOR NO"},
                                                 {66, "RINGS OR SHE DIES"},
                                                 {69, "CONTINUE?"}};
    for (auto [n, text] : spots)
        EXPECT_STREQ(message(n), text) << n;
}

TEST(Messages, NumbersAndLanguagesOutsideTheTableGiveAnEmptyText) {
    lang_id = 0;
    for (int n : {-1, NUM_MESSAGES, NUM_MESSAGES + 1000})
        EXPECT_STREQ(message(n), "") << n;
    EXPECT_STREQ(message(NUM_MESSAGES - 1), "TROBZ 3 V" TROBZ_VERSION);
    for (int lang : {-1, NUM_LANGUAGES}) {
        lang_id = lang;
        EXPECT_STREQ(message(MSG_RUN), "") << lang;
    }
    lang_id = 0;
    EXPECT_STREQ(message(MSG_RUN), "TROBZ, RUN!");
}

TEST(Messages, TheScrollerIsFramedByFortyBlanks) {
    const std::string s = translation[0][MSG_SCROLLER], blanks(40, ' ');
    ASSERT_GT(s.size(), 2 * blanks.size() + 40);
    EXPECT_EQ(s.substr(0, 40), blanks);
    EXPECT_EQ(s.substr(s.size() - 40), blanks);
    EXPECT_NE(s[40], ' ');
    EXPECT_NE(s[s.size() - 41], ' ');
}
