// Push blocks in motion (animation kinds 10, 11 and 12): used by the animation slots only.
#pragma once

struct AnimObject;

// Kind 12 takes two cells: the block's own and the one it falls into are marked solid.
void reserveFall(int column, int row);
// One frame of the push or fall in this slot, settling the block when it arrives.
void updatePushBlock(int slot);
// The cells under the moving block, then the block itself.
void drawPushBlock(const AnimObject& a);
