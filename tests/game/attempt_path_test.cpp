// The stage tools prove stages clearable by playing replays through the stage runner. That
// proof holds for the game only if the game sets up and runs an attempt exactly as the
// runner does: stage 1's replay is played both ways, by the runner and by a scripted player
// in the whole game from start-up, and the world must be the same after every frame.
#include "flow_fixture.h"

#include "app/startup.h"
#include "game/flow.h"
#include "sim/snapshot.h"
#include "sim/stagerun.h"
#include "world/flowstate.h"
#include "world/map.h"
#include "world/stage.h"

#include <cstring>

namespace {

// Slots in use alike; what a free slot still holds is never read again.
template <typename Slot, size_t N>
bool sameSlots(const Slot (&a)[N], const Slot (&b)[N]) {
    for (size_t i = 0; i < N; i++)
        if ((a[i].active || b[i].active) && std::memcmp(&a[i], &b[i], sizeof a[i])) return false;
    return true;
}

// The first part of the world in which two moments differ, "" when none does.
std::string firstDifference(const WorldSnapshot& a, const WorldSnapshot& b) {
    if (std::memcmp(&a.hero, &b.hero, sizeof a.hero)) return "hero";
    if (!sameSlots(a.monst, b.monst)) return "monsters";
    if (a.pcount != b.pcount || std::memcmp(a.platforms, b.platforms, a.pcount * sizeof(Platform)))
        return "lifts";
    if (!sameSlots(a.aos, b.aos)) return "animation slots";
    if (a.mapLength != b.mapLength || a.cells != b.cells || a.ori != b.ori) return "map cells";
#define DIFFERS(type, name, init)                                                                  \
    if (a.name != b.name) return #name;
    WORLD_STATE(DIFFERS)
#undef DIFFERS
    if (std::strcmp(a.messageString, b.messageString)) return "message";
    return "";
}

void recordFrame(int, Figure* hero, void* frames) {
    auto* seen = static_cast<std::vector<WorldSnapshot>*>(frames);
    seen->emplace_back();
    saveWorld(&seen->back(), hero, 0);
}

} // namespace

TEST(AttemptPath, TheGameAndTheStageRunnerPlayAReplayAlike) {
    alarm(TEST_ALARM_SECONDS);
    std::vector<ZdaMember> maps = testStageMembers(), built;
    Replay replay;
    ASSERT_TRUE(realFirstStages(&built, &replay)) << "the build has no stage 1 or replay";
    maps[0] = built[0];
    maps[1] = built[1];

    // the stage runner's way, as the stage tools play it
    std::vector<WorldSnapshot> runner;
    prepareFirstAttempt(1);
    Figure hero{};
    ASSERT_TRUE(beginAttemptFromBytes(&hero, built[1].data.data(), (int)built[1].data.size()));
    StageResult result = playReplay(&hero, replay, recordFrame, &runner);
    ASSERT_EQ(result.outcome, STAGE_CLEARED);
    freeLevel();

    // the game's way: a new game from the title; play frame n is game frame 180 + n
    GameDirectory dir(maps);
    VirtualClock clock;
    ScriptedPlayer player;
    int compared = 0;
    std::string difference;
    auto compare = [&](const Figure& seen) {
        if (compared >= (int)runner.size() || !difference.empty()) return;
        WorldSnapshot game;
        saveWorld(&game, &seen, 0);
        difference = firstDifference(runner[compared], game);
        if (!difference.empty()) difference += " at frame " + std::to_string(compared);
        compared++;
    };
    player.repeat(
        "the intro screens", [] { return currentScreen >= NUM_INTRO_SCREENS; }, [] { return true; },
        [] { ScriptedPlayer::tap(K_SPACE); }, 6);
    player.tapWhen(
        "PRESS START", [] { return flowScreen == FLOW_TITLE && frame > 5; }, K_RETURN);
    player.tapWhen(
        "NEW GAME", [] { return flowScreen == FLOW_TITLE && workflow == WF_NEW_GAME; }, K_SPACE);
    player.repeat(
        "the story", [] { return flowScreen == FLOW_STAGE; },
        [] { return flowScreen == FLOW_STORY; }, [] { ScriptedPlayer::tap(K_SPACE); }, 2);
    player.repeat(
        "stage 1 by its replay", [] { return flowScreen == FLOW_TALLY; },
        [] { return flowScreen == FLOW_STAGE && frame > STAGE_INTRO_FRAMES; },
        [&] {
            // at the input of play frame n the world stands as play frame n - 1 left it
            if (frame - STAGE_INTRO_FRAMES - 1 == compared) compare(theHero);
            ScriptedPlayer::holdStageInput(replayInput(replay, frame - STAGE_INTRO_FRAMES - 1));
        },
        1);
    player.when(
        "the tally", [] { return flowScreen == FLOW_TALLY; },
        [&] {
            ScriptedPlayer::setHeld({});
            Figure cleared = theHero;
            cleared.alive = 1; // the tally takes the hero off the stage; the door frame is here
            compare(cleared);
        });
    // out: the quit dialog on stage 2, then Escape on the title
    player.tapWhen(
        "stage 2", [] { return flowScreen == FLOW_STAGE && level == 2 && frame > 3; }, K_ESCAPE);
    player.tapWhen(
        "quit dialog", [] { return flowScreen == FLOW_QUIT_DIALOG; }, K_LEFT);
    player.tapWhen(
        "title", [] { return flowScreen == FLOW_TITLE && frame > 3; }, K_ESCAPE);

    char prog[] = "trobz3";
    char* argv[] = {prog, nullptr};
    EXPECT_EQ(gameMain(1, argv), 0);
    EXPECT_TRUE(player.finished()) << "the game ended while waiting for: " << player.stuckAt();
    EXPECT_EQ(difference, "");
    EXPECT_EQ(compared, result.frame + 1); // frames 0 ... the cleared one
    alarm(0);
}
