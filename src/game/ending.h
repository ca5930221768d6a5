// The ending after the last stage.
#pragma once

struct Figure;

// The closing pages, the name entry for a good score, and a fresh game on the title.
void ending(Figure* hero);
