// The story pages: a still picture with one caption, each waiting for a key. Three open a
// new game (only the last when a game continues), two close the last stage.
#pragma once

constexpr int NUM_STORY_PAGES = 5;

extern int storyPage; // the page on screen, -1 none

// The opening pages for a game starting at stage `level`: all three for stage 1, else only
// the last. Leaves `screen` black (not presented). A quit request skips the pages left.
void storyLine(int level);
// The two closing pages; the last stays on screen.
void closeStory();
// Shows one page and waits for JUMP or START (PAUSE or a quit request also pass it).
void showStoryPage(int page);
