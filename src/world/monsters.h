// The five monster kinds in 32 slots: spawning, walking, gravity, stomps, touches,
// timeouts and sprites.
#pragma once

struct Figure;

enum MonsterKind {
    MONSTER_MASKY = 1,
    MONSTER_BEETLE = 2,
    MONSTER_WINGEDEYE = 3,
    MONSTER_WINGEDEYE_HIT = 4,
    MONSTER_ACIDFISH = 5,
    MONSTER_SKULL = 6,
};

struct Monster {
    int x, y;      // top-left corner, world px
    int dx;        // horizontal step per frame; 0 = stopped
    int dy;        // SKULL: direction when stomped
    int fall;      // gravity counter: falls fall/3 px per frame
    int timer;     // frames since spawn or last stomp
    int kind;      // MonsterKind
    int active;    // slot in use
    int stompable; // landing on it stomps it
    int hits;      // SKULL: stomps taken
};

constexpr int MAX_MONSTERS = 32;
extern Monster monst[MAX_MONSTERS];

extern const int REASONS[7];    // death message by kind - 1
extern const int DEATH_ANIM[7]; // death animation by kind - 1

// Walking cycles of block images.
extern const int blobbas[4]; // MASKY
extern const int bat[4];     // WINGEDEYE

void setMonster(int slot, int x, int y, int kind);
int startMonster(int x, int y, int kind);
void killMonster(int slot);
void killMonsters();
void updateMonster(int slot, Figure* hero, int step);
void updateMonsters(Figure* hero);
// The block image the monster shows now, -1 while a stomped MASKY blinks out.
int monsterSprite(const Monster& m);
void drawMonster(int slot);
void drawMonsters();
