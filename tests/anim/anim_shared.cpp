// The animation tests build their stages and test pictures with the world tests' helpers:
// compile those into this test program too.
#include "../world/render_kit.cpp"
#include "../world/world_fixture.cpp"
