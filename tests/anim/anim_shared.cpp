// The animation tests build their stages and test pictures with the world tests' kit:
// compile it into this test program too.
#include "../world/world_kit.cpp"
