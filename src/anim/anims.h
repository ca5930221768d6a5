// Animation objects: 16 slots of short-lived effects that rewrite map cells over time
// (bricks, crumbling floors, traps, doors, flags, pickups), move push blocks, explode
// mines and play the hero's death sequences.
#pragma once

struct Figure;

enum AnimKind {
    ANIM_NONE = 0,
    ANIM_BRICK = 1,    // brick breaks
    ANIM_CRUMBLE = 2,  // floor crumbles
    ANIM_TRAP = 4,     // spike trap springs
    ANIM_SHINE = 5,    // bump block shines
    ANIM_TRAPDOOR = 6, // trapdoor shuts
    ANIM_FLAG = 7,     // checkpoint flag rises
    ANIM_PICKUP = 8,   // pickup vanishes
    ANIM_PUSH_RIGHT = 10,
    ANIM_PUSH_LEFT = 11,
    ANIM_BLOCK_FALL = 12,
    ANIM_EXPLODE = 13, // mine explodes
    ANIM_DEATH_SUICIDE = 14,
    ANIM_DEATH_CRUSHED = 15,
    ANIM_DEATH_DROWNED = 16,
    ANIM_DEATH_EXPLODE = 17,
    ANIM_DEATH_DEAD = 18,
    ANIM_DEATH_SLASH = 19,
    ANIM_DROWNED_FLOAT = 20,
};

struct AnimObject {
    int x, y;   // cell (kinds 1 ... 13) or world px (kinds 14 ... 20)
    int count;  // frames since start
    int kind;   // AnimKind
    int active; // slot in use
};

constexpr int MAX_ANIMS = 16;
extern AnimObject aos[MAX_ANIMS];

// Frame tables: cell values (kinds 1 ... 13) or block images (deaths) shown in turn.
constexpr int KRACK_FRAMES = 8;
extern const int krack[2][KRACK_FRAMES]; // row 0 brick breaking, row 1 floor crumbling
extern const int trap[4];                // spike trap springing
extern const int shine[5];               // bump block flashing
extern const int explode[8];             // mine explosion
extern const int death_suicide[8];       // the hero gives up, then loops from count 23
extern const int death_crushed[8];       // squashed by a platform, 4 frames per image
extern const int death_drowned[8];       // going under
extern const int death_explode[8];       // burst by a BEETLE or SKULL
extern const int death_dead[8];          // struck by a MASKY or WINGEDEYE
extern const int death_slash[8];         // spikes or an ACIDFISH
extern const int death_drowned2[4];      // the drowned hero floating, 16 frames per image

int startAnim(int x, int y, int kind);
void setAnimation(int slot, int x, int y, int kind);
void updateAnimation(int slot, Figure* hero);
void updateAnims(Figure* hero);
void drawAnimation(int slot);
void drawAnimations();
void clearAnims();
