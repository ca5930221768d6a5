// The stage solver. Every few frames each kept state tries six held inputs (nothing, right,
// left, jump, right and jump, left and jump) for the next few frames through the real
// stage frame; the children that live on are scored by rings taken and by their distance to
// the next goal, near-duplicates are merged, and the best few hundred are kept.
//
// Saving the whole map for every state would cost more than playing the frames, so a state
// keeps only the columns around its view. That is enough because the world only changes near
// the view: monsters spawn at the scan line 21 columns right of the view's edge and vanish
// 250 px behind it, the hero and his blocks stay inside it, and the view never goes back.
// Columns right of a state's window are therefore as loaded, and the solver puts loaded
// cells back there before it continues a state that is further left than the last one. The
// one change far from the view is the door opening at the last ring; it follows the count.
#include "solver.h"
#include "stagetext.h"

#include "anim/anims.h"
#include "sim/snapshot.h"
#include "world/collision.h"
#include "world/figure.h"
#include "world/flowstate.h"
#include "world/map.h"
#include "world/pickups.h"
#include "world/stage.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <memory>
#include <unordered_map>

namespace {

// The saved window around the view, in columns from the view's left edge: monsters live up
// to 250 px (16 columns) behind it and probe one more; the scan line is 21 columns ahead.
constexpr int WINDOW_BEHIND = 18;
constexpr int WINDOW_AHEAD = 24;

// Held inputs tried at every decision.
constexpr int ACTIONS = 6;
const StageInput ACTION_INPUT[ACTIONS] = {
    {0, 0, 0, 0}, {0, 1, 0, 0}, {1, 0, 0, 0}, {0, 0, 1, 0}, {0, 1, 1, 0}, {1, 0, 1, 0},
};

// Costs of the moves of the distance map, and the most rows above ground a jump reaches.
constexpr int COST_ACROSS = 2, COST_DOWN = 1, COST_UP = 2;
constexpr int COST_SPIKES = 6, COST_CRATE = 6, COST_BRICK = 8;
constexpr int JUMP_ROWS = 3;
constexpr int VY_AT_REST = 7; // the hero's vy standing on ground
constexpr int AIR_CELLS = 5;  // cells across in one jump
constexpr int AIR_STATES = AIR_CELLS + 1;
constexpr int FAR = 1 << 28;

// Score weights: a ring outweighs any distance on the map; a point of score is worth a
// little, so that breaking a brick beats standing still.
constexpr long long RING_WEIGHT = 1000000;
constexpr long long POINTS_WEIGHT = 8;
// a state that sees no way to its goal ranks below every one that does
constexpr long long FAR_PENALTY = 100000;

// The distance map covers the columns from the view's edge to a little past the goal, at
// most this many; the cache of distance maps is emptied when it holds too many.
constexpr int FIELD_COLUMNS = 48;
constexpr int FIELD_MARGIN = 6;
constexpr size_t FIELD_CACHE = 2000;

// A quarter of every beam is kept for the best states standing on firm ground; a failed
// search is tried again with twice the beam, up to this many states.
constexpr int GROUNDED_SHARE = 4;
constexpr int MAX_BEAM = 6400;

bool solidValue(int v) {
    int c = blockClass(v);
    return v >= CELL_RESERVED || c == BLOCK_SOLID || c == BLOCK_PUSHABLE;
}

// Distances to a goal over a range of columns of the live map, for the hero's centre. A
// place is a cell and the air the hero still has: standing, he can jump JUMP_ROWS up and
// AIR_CELLS across; every cell across in the air uses one, every cell fallen gives one back.
// The goal is a cell, or every open cell of a column when the real goal lies further on.
class DistanceMap {
  public:
    DistanceMap(const int* cells, int first, int end, const std::vector<bool>& liftColumn)
        : cells_(cells), first_(first), end_(end), lift_(liftColumn) {}

    // goalRow < 0: any open cell of the goal column
    std::vector<int> toward(int gc, int gr) const {
        std::vector<int> dist(size_t(end_ - first_) * MAP_ROWS * AIR_STATES, FAR);
        std::vector<std::vector<int>> buckets(1); // small integer costs: a queue of buckets
        auto push = [&](int node, int d) {
            if (d >= dist[node]) return;
            dist[node] = d;
            if (size_t(d) >= buckets.size()) buckets.resize(d + 1);
            buckets[d].push_back(node);
        };
        for (int r = 0; r < MAP_ROWS; r++)
            if ((gr < 0 || r == gr) && open(gc, r))
                for (int k = 0; k < AIR_STATES; k++)
                    push(id(gc, r, k), 0);
        for (size_t d = 0; d < buckets.size(); d++) {
            for (size_t n = 0; n < buckets[d].size(); n++) {
                int v = buckets[d][n];
                if (dist[v] != int(d)) continue;
                int vc = first_ + v / (MAP_ROWS * AIR_STATES), vr = (v / AIR_STATES) % MAP_ROWS;
                int enter = enterCost(vc, vr);
                // every place one move away that leads here
                const int from[3][2] = {{vc - 1, vr}, {vc + 1, vr}, {vc, vr - 1}};
                for (int m = 0; m < 4; m++) {
                    int uc = m < 2 ? from[m][0] : vc, ur = m < 2 ? vr : m == 2 ? vr - 1 : vr + 1;
                    if (!open(uc, ur)) continue;
                    for (int k = 0; k < AIR_STATES; k++) {
                        int cost = 0;
                        if (move(uc, ur, k, vc, vr, &cost) == v)
                            push(id(uc, ur, k), int(d) + cost + enter);
                    }
                }
            }
            buckets[d].clear();
        }
        return dist;
    }

    // The place of the hero: his cell and the air he has left.
    int place(int c, int r, int air) const { return id(c, r, standing(c, r) ? AIR_CELLS : air); }

  private:
    const int* cells_;
    int first_, end_;
    const std::vector<bool>& lift_;

    int at(int c, int r) const { return cells_[size_t(c) * MAP_ROWS + r]; }
    bool inside(int c, int r) const { return c >= first_ && c < end_ && r >= 0 && r < MAP_ROWS; }
    int id(int c, int r, int k) const { return ((c - first_) * MAP_ROWS + r) * AIR_STATES + k; }
    // extra cost of being in a cell, -1 where the hero cannot be
    int enterCost(int c, int r) const {
        int v = at(c, r);
        if (v == CELL_SPIKES || v == CELL_SPIKES_HIDDEN) return COST_SPIKES;
        // a block can be pushed on; one in motion is as good as gone
        if (v == CELL_PUSH) return COST_CRATE;
        if (v == CELL_RESERVED) return 0;
        if (v == CELL_BRICK) return COST_BRICK; // reached from below, by breaking it
        if (solidValue(v) || blockClass(v) == BLOCK_LETHAL) return -1;
        return 0;
    }
    bool open(int c, int r) const { return inside(c, r) && enterCost(c, r) >= 0; }
    bool lifted(int c) const {
        for (int cc = c - 1; cc <= c + 1; cc++)
            if (cc >= first_ && cc < end_ && lift_[cc]) return true;
        return false;
    }
    bool standing(int c, int r) const {
        return lifted(c) || (r + 1 < MAP_ROWS && solidValue(at(c, r + 1)));
    }
    // the hero in (c, r) can move up: ground within a jump straight below, the edge of
    // ground beside him (his feet reach into the next column), or a lift near
    bool canRise(int c, int r) const {
        if (lifted(c)) return true;
        for (int j = 1; j <= JUMP_ROWS && r + j < MAP_ROWS; j++) {
            int v = at(c, r + j);
            if (solidValue(v)) return true;
            if (blockClass(v) == BLOCK_LETHAL) break;
        }
        for (int cc : {c - 1, c + 1})
            if (open(cc, r) && r + 1 < MAP_ROWS && solidValue(at(cc, r + 1))) return true;
        return false;
    }
    // The place one move from (c, r) with air k reaches when it ends in (vc, vr), or -1.
    int move(int c, int r, int k, int vc, int vr, int* cost) const {
        if (!open(vc, vr)) return -1;
        bool stands = standing(c, r);
        if (stands) k = AIR_CELLS;
        int nk;
        if (vr == r && (vc == c - 1 || vc == c + 1)) {
            if (!stands && k == 0) return -1;
            nk = stands ? AIR_CELLS - 1 : k - 1;
            *cost = COST_ACROSS;
        } else if (vc == c && vr == r + 1) {
            nk = std::min(AIR_CELLS, k + 1);
            *cost = COST_DOWN;
        } else if (vc == c && vr == r - 1) {
            if (!canRise(c, r)) return -1;
            nk = k;
            *cost = COST_UP;
        } else {
            return -1;
        }
        if (standing(vc, vr)) nk = AIR_CELLS;
        return id(vc, vr, nk);
    }
};

struct Trace {
    int parent;
    int action;
};

struct Node {
    std::unique_ptr<WorldSnapshot> snap;
    int windowEnd = 0;    // first column not saved
    int trace = -1;       // the inputs that led here
    int parentIndex = -1; // place of the parent in the previous beam
    int takeoffX = 0;
    bool grounded = false; // standing on firm ground, not a lift
    int lastAction = 0;
    long long score = 0;
};

class Search {
  public:
    Search(const SolverOptions& o) : opt_(o) {}

    SolverResult run(const std::vector<uint8_t>& bytes);

  private:
    bool setup(const std::vector<uint8_t>& bytes, SolverResult* result);
    bool searchOnce(int width, SolverResult* result);
    void choose(std::vector<Node>* children, int width) const;
    double elapsed() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
    }
    std::chrono::steady_clock::time_point started_;
    long long bestTryScore_ = -(1ll << 62);
    Replay bestTry_;
    const SolverOptions& opt_;
    Figure hero_{};
    int splash_ = 0;
    int takeoffX_ = 0; // where the hero last stood
    std::vector<int> baseData_, baseOri_;
    int dirtyEnd_ = 0; // columns from here on hold the loaded cells
    std::vector<RingCell> rings_;
    std::vector<bool> ringEverTaken_;
    int doorC_ = -1, doorR_ = -1;
    std::vector<bool> liftColumn_;
    std::unordered_map<uint64_t, std::vector<int>> fields_; // by goal and cells around it
    std::vector<Trace> traces_;

    // The distance, in sixteenths of a move, from the hero's probe point (px, py) to a goal
    // cell on the map as it is now, taken between the cells left and right of the point so
    // that every pixel of progress counts. The map covers the columns from the view's edge
    // to just past the goal; a goal far ahead is stood in for by a column within reach, plus
    // the walk from there.
    long long distance(int px, int py, int air, int gc, int gr) {
        int first = std::max(0, (step >> 4) - 1);
        long long extra = 0;
        if (gc - first > FIELD_COLUMNS) {
            extra = (gc - first - FIELD_COLUMNS) * COST_ACROSS;
            gc = first + FIELD_COLUMNS;
            gr = -1;
        }
        int hc = px >> 4, hr = py >> 4;
        int end = std::min(mapLength, std::max(gc, hc + 1) + FIELD_MARGIN);
        if (hc < first || hc >= end || hr < 0 || hr >= MAP_ROWS) return FAR;
        uint64_t key = 1469598103934665603ull;
        auto mix = [&key](uint64_t v) {
            key ^= v;
            key *= 1099511628211ull;
        };
        mix(uint64_t(first));
        mix(uint64_t(end));
        mix(uint64_t(gc * 16 + gr + 1));
        for (int i = first * MAP_ROWS; i < end * MAP_ROWS; i++)
            mix(uint64_t(mapData[i]));
        DistanceMap map(mapData, first, end, liftColumn_);
        auto it = fields_.find(key);
        if (it == fields_.end()) {
            if (fields_.size() > FIELD_CACHE) fields_.clear();
            it = fields_.emplace(key, map.toward(gc, gr)).first;
        }
        const std::vector<int>& field = it->second;
        auto at = [&](int c) -> long long {
            if (c < first || c >= end) return FAR;
            return field[map.place(c, hr, air)];
        };
        // between the centres of the cells left and right of the point
        int c0 = (px - CELL / 2) >> 4, t = (px - CELL / 2) & (CELL - 1);
        long long a = at(c0), b = at(c0 + 1);
        long long d;
        if (a >= FAR && b >= FAR)
            d = at(hc) >= FAR ? FAR : at(hc) * CELL;
        else if (a >= FAR)
            d = b * CELL;
        else if (b >= FAR)
            d = a * CELL;
        else
            d = a * CELL + (b - a) * t;
        return d >= FAR ? FAR : d + extra * CELL;
    }

    bool ringTaken(const RingCell& g) const {
        if (mapData[g.column * MAP_ROWS + g.row] != CELL_RING) return true;
        // eaten this frame: the cell clears on the animation's first update
        for (const AnimObject& a : aos)
            if (a.active && a.kind == ANIM_PICKUP && a.x == g.column && a.y == g.row) return true;
        return false;
    }

    static long long score_points() { return score; }

    int windowStart() const { return std::max(0, (step >> 4) - WINDOW_BEHIND); }
    int windowEnd() const { return std::min(mapLength, (step >> 4) + WINDOW_AHEAD); }

    void save(Node* n) {
        if (!n->snap) n->snap = std::make_unique<WorldSnapshot>();
        n->windowEnd = windowEnd();
        n->takeoffX = takeoffX_;
        saveWorld(n->snap.get(), &hero_, splash_, windowStart(), n->windowEnd - 1);
    }

    void restore(const Node& n) {
        if (dirtyEnd_ > n.windowEnd) {
            size_t from = size_t(n.windowEnd) * MAP_ROWS, to = size_t(dirtyEnd_) * MAP_ROWS;
            std::copy(baseData_.begin() + from, baseData_.begin() + to, mapData + from);
            std::copy(baseOri_.begin() + from, baseOri_.begin() + to, mapOri + from);
        }
        restoreWorld(*n.snap, &hero_, &splash_);
        // the last ring opens the door wherever it is, maybe far outside the window
        if (stars <= 0 && stars0 > 0 && door / MAP_ROWS + 1 >= n.windowEnd)
            setDoor(CELL_DOOR_OPEN_TL, CELL_DOOR_OPEN_TR, CELL_DOOR_OPEN_BL, CELL_DOOR_OPEN_BR);
        takeoffX_ = n.takeoffX;
        dirtyEnd_ = n.windowEnd;
    }

    // The state's score, or false when it can no longer clear the stage.
    bool evaluate(long long* score, int* taken) {
        int count = 0;
        const RingCell* next = nullptr;
        for (size_t i = 0; i < rings_.size(); i++) {
            const RingCell& g = rings_[i];
            if (ringTaken(g)) {
                count++;
                ringEverTaken_[i] = true;
                continue;
            }
            // the hero never gets left of the view, so a ring that left it is lost
            if (g.column * CELL + CELL / 2 < step) return false;
            if (!next) next = &g;
        }
        int gc, gr;
        if (next) {
            gc = next->column;
            gr = next->row;
        } else {
            gc = doorC_ + 1;
            gr = doorR_ + 1;
        }
        // a ring is taken by the hero's centre, the door entered by his top left corner
        int probe = next ? CELL / 2 : 0;
        int air = std::max(0, AIR_CELLS - std::abs(hero_.x - takeoffX_) / CELL);
        long long d = distance(hero_.x + probe, hero_.y + probe, air, gc, gr);
        long long h = d >= FAR ? FAR_PENALTY + std::abs(hero_.x - gc * CELL) : d;
        // points (bricks, chests, stomps) break ties: trying things is worth a little
        *score = count * RING_WEIGHT - h + score_points() * POINTS_WEIGHT;
        *taken = count;
        return true;
    }

    uint64_t stateKey() const {
        uint64_t k = 1469598103934665603ull;
        auto mix = [&k](uint64_t v) {
            k ^= v;
            k *= 1099511628211ull;
        };
        mix(uint64_t(hero_.x >> 2));
        mix(uint64_t(hero_.y >> 2));
        mix(uint64_t(hero_.vy < 0 ? 0 : hero_.vy < 12 ? 1 : 2));
        mix(uint64_t(hero_.platform >= 0));
        mix(uint64_t(stars));
        mix(uint64_t(checkpoint));
        mix(uint64_t(last_right * 2 + last_left));
        mix(uint64_t(pushForce));
        int from = std::max(0, (step >> 4) - 1), to = std::min(mapLength, (step >> 4) + 22);
        for (int i = from * MAP_ROWS; i < to * MAP_ROWS; i++)
            mix(uint64_t(mapData[i]));
        for (const Monster& m : monst)
            if (m.active) mix(uint64_t(m.kind * 7 + (m.dx != 0)) << 20 | uint64_t(m.x >> 3));
        // a push that has begun shows only in its animation until the next frame
        for (const AnimObject& a : aos)
            if (a.active)
                mix(uint64_t(a.kind) << 40 | uint64_t(a.x) << 20 | uint64_t(a.y) << 8 |
                    uint64_t(a.count & 0xff));
        return k;
    }

    Replay replayOf(int trace, int lastFrames) const {
        std::vector<int> actions;
        for (int t = trace; t >= 0; t = traces_[t].parent)
            actions.push_back(traces_[t].action);
        std::reverse(actions.begin(), actions.end());
        Replay r;
        for (size_t i = 0; i < actions.size(); i++)
            appendRun(&r, ACTION_INPUT[actions[i]],
                      i + 1 == actions.size() ? lastFrames : opt_.stepFrames);
        return r;
    }
};

// Loads the stage as an attempt starts and notes its rings, door and lifts.
bool Search::setup(const std::vector<uint8_t>& bytes, SolverResult* result) {
    StageGrid grid;
    std::string why;
    if (!decodeStage(bytes.data(), bytes.size(), &grid, &why)) {
        result->problem = "the bytes are not a stage the game can load";
        return false;
    }
    prepareFirstAttempt(opt_.stage);
    if (opt_.fromCheckpoint) {
        // the first flag in file order, as a death after touching it would leave things; bytes
        // after the cells are no part of the map
        bool found = false;
        for (size_t i = 0; i < grid.cells.size() && !found; i++)
            if (grid.cells[i] == CELL_FLAG) {
                startx = int(i / MAP_ROWS) * CELL;
                starty = int(i % MAP_ROWS) * CELL;
                startf = 1;
                found = true;
            }
        if (!found) {
            result->problem = "the stage has no checkpoint flag";
            return false;
        }
    }
    hero_ = Figure{};
    splash_ = 0;
    if (!beginAttemptFromBytes(&hero_, bytes.data(), int(bytes.size()))) {
        result->problem = "the bytes are not a stage the game can load";
        return false;
    }
    if (!hero_.alive) {
        result->problem = "the hero is not placed";
        return false;
    }
    baseData_.assign(mapData, mapData + mapLength * MAP_ROWS);
    baseOri_.assign(mapOri, mapOri + mapLength * MAP_ROWS);
    dirtyEnd_ = 0;
    rings_.clear();
    for (int c = 0; c < mapLength; c++)
        for (int r = 0; r < MAP_ROWS; r++)
            if (baseData_[c * MAP_ROWS + r] == CELL_RING && ringInReach(c * CELL, step))
                rings_.push_back({c, r});
    if (ringEverTaken_.size() != rings_.size()) ringEverTaken_.assign(rings_.size(), false);
    result->rings = int(rings_.size());
    if (door < 0) {
        result->problem = rings_.empty() ? "no exit door" : "rings but no exit door";
        return false;
    }
    doorC_ = door / MAP_ROWS;
    doorR_ = door % MAP_ROWS;
    liftColumn_.assign(mapLength, false);
    for (int i = 0; i < pcount; i++)
        liftColumn_[platforms[i].x / CELL] = true;
    traces_.clear();
    fields_.clear();
    return true;
}

// The next beam from the scored children: mostly the best, but a share of the best of those
// standing on firm ground, so that waiting for a lift or a monster stays possible when every
// bolder try runs into trouble later.
void Search::choose(std::vector<Node>* children, int width) const {
    std::sort(children->begin(), children->end(),
              [](const Node& a, const Node& b) { return a.score > b.score; });
    if (children->size() <= size_t(width)) return;
    size_t bold = size_t(width) - size_t(width) / GROUNDED_SHARE;
    std::vector<Node> kept;
    kept.reserve(width);
    for (size_t i = 0; i < bold; i++)
        kept.push_back(std::move((*children)[i]));
    for (size_t i = bold; i < children->size() && kept.size() < size_t(width); i++)
        if ((*children)[i].grounded) kept.push_back(std::move((*children)[i]));
    for (size_t i = bold; i < children->size() && kept.size() < size_t(width); i++)
        if (!(*children)[i].grounded) kept.push_back(std::move((*children)[i]));
    *children = std::move(kept);
}

// One search with a beam of the given width; true when it cleared the stage.
bool Search::searchOnce(int width, SolverResult* result) {
    std::vector<Node> beam(1);
    takeoffX_ = hero_.x;
    save(&beam[0]);
    int taken0 = 0;
    evaluate(&beam[0].score, &taken0);
    int frame = 0;
    long long bestScore = beam[0].score;

    while (!beam.empty()) {
        if (beam[0].score > bestTryScore_) {
            bestTryScore_ = beam[0].score;
            bestTry_ = replayOf(beam[0].trace, opt_.stepFrames);
        }
        if (frame + opt_.stepFrames > opt_.maxFrames) {
            result->problem = "the clock runs out before the stage is cleared";
            return false;
        }
        if (elapsed() > opt_.seconds) {
            result->problem = "no answer within the time given to the search";
            return false;
        }
        std::vector<Node> children;
        children.reserve(beam.size() * ACTIONS);
        std::unordered_map<uint64_t, size_t> seen;
        for (const Node& parent : beam) {
            for (int a = 0; a < ACTIONS; a++) {
                restore(parent);
                int cleared = 0;
                bool lost = false;
                for (int f = 0; f < opt_.stepFrames; f++) {
                    stageFrame(&hero_, ACTION_INPUT[a], &splash_);
                    if (hero_.platform >= 0 || isSolidPos(hero_.x, hero_.y + CELL) ||
                        isSolidPos(hero_.x + CELL - 1, hero_.y + CELL))
                        takeoffX_ = hero_.x;
                    if (haveMadeit(&hero_)) {
                        cleared = f + 1;
                        break;
                    }
                    if (!hero_.alive || hero_.dying) {
                        lost = true;
                        break;
                    }
                }
                dirtyEnd_ = std::max(dirtyEnd_, windowEnd());
                if (lost) continue;
                if (cleared) {
                    traces_.push_back({parent.trace, a});
                    result->cleared = true;
                    result->frames = frame + cleared;
                    result->timeLeft = timeLeft;
                    result->replay = replayOf(int(traces_.size()) - 1, cleared);
                    result->bestRings = int(rings_.size());
                    return true;
                }
                long long score;
                int taken;
                if (!evaluate(&score, &taken)) continue;
                result->bestRings = std::max(result->bestRings, taken);
                uint64_t key = stateKey();
                auto it = seen.find(key);
                if (it != seen.end() && children[it->second].score >= score) continue;
                Node child;
                child.score = score;
                child.lastAction = a;
                child.parentIndex = int(&parent - beam.data());
                child.grounded = hero_.platform < 0 && hero_.vy == VY_AT_REST &&
                                 (isSolidPos(hero_.x, hero_.y + CELL) ||
                                  isSolidPos(hero_.x + CELL - 1, hero_.y + CELL));
                save(&child);
                if (it != seen.end()) {
                    children[it->second] = std::move(child);
                } else {
                    seen.emplace(key, children.size());
                    children.push_back(std::move(child));
                }
            }
        }
        frame += opt_.stepFrames;
        result->layers++;
        if (children.empty()) {
            result->problem = "every try dies or loses a ring by frame " + std::to_string(frame);
            return false;
        }
        choose(&children, width);
        // only the kept states get a trace
        for (Node& c : children) {
            traces_.push_back({beam[c.parentIndex].trace, c.lastAction});
            c.trace = int(traces_.size()) - 1;
        }
        beam = std::move(children);
        if (opt_.verbose &&
            (result->layers % 50 == 0 || beam[0].score > bestScore + RING_WEIGHT / 2)) {
            restore(beam[0]);
            std::fprintf(stderr, "frame %5d  rings %d/%zu  hero %d,%d  states %zu  %.1fs\n", frame,
                         result->bestRings, rings_.size(), hero_.x, hero_.y, beam.size(),
                         elapsed());
        }
        bestScore = std::max(bestScore, beam[0].score);
    }
    return false;
}

SolverResult Search::run(const std::vector<uint8_t>& bytes) {
    SolverResult result;
    started_ = std::chrono::steady_clock::now();
    // a search that fails is tried again with a wider beam while there is time
    for (int width = opt_.beam;; width *= 2) {
        if (!setup(bytes, &result)) break;
        if (opt_.verbose) std::fprintf(stderr, "searching with %d states\n", width);
        if (searchOnce(width, &result) || elapsed() > opt_.seconds) break;
        if (width >= MAX_BEAM) break;
    }
    for (size_t i = 0; i < rings_.size(); i++)
        if (!ringEverTaken_[i] && !result.cleared) result.unreached.push_back(rings_[i]);
    if (!result.cleared) result.replay = bestTry_;
    result.seconds = elapsed();
    return result;
}

} // namespace

SolverResult solveStage(const std::vector<uint8_t>& stageBytes, const SolverOptions& options) {
    Search search(options);
    return search.run(stageBytes);
}
