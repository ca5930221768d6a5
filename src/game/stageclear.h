// The stage-clear tally: time and life bonuses counted over the frozen stage.
#pragma once

struct Figure;

// Frames of the tally (the flow's frame counter runs from TALLY_FIRST_FRAME to
// TALLY_END_FRAME), and the frames at which each bonus is added.
constexpr int TALLY_FIRST_FRAME = 192;
constexpr int TALLY_TIME_FRAME = 282;
constexpr int TALLY_LIFE_FRAME = 342;
constexpr int TALLY_EXTRA_LIFE_FRAME = 492;
constexpr int TALLY_END_FRAME = 552;
constexpr int FRAMES_PER_SECOND = 60;

// The tally of a cleared stage; ends with `level` advanced to the next stage.
void stageClear(Figure* hero);
