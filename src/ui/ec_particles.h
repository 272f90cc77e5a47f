// ec_particles.h -- particle bursts: a fixed pool of sparks that fly and fade on ticks
#pragma once

#include "engine/ec_types.h"

constexpr int max_particles = 512;
constexpr int particles_per_burst = 16;

// One spark.
struct particle {
    bool alive;
    float x, y;   // screen pixels
    float dx, dy; // direction, each in [-1, 1)
    float speed;  // pixels per tick along (dx, dy), in [2, 4)
    s32 life;     // ticks left, 5 to 14 at birth
    u32 colour;   // opaque
    s32 size;     // side of the square drawn, 4 to 7 pixels
};

// Frees every slot of the pool.
void particles_clear();
// Spawns up to 16 sparks at (x, y) in the first free slots; when the pool is
// full the rest of the burst is dropped.
void particle_burst(int x, int y);
// A random pale spark colour, opaque, between (189, 205, 177) and (221, 222, 203).
u32 particle_colour();
// Advances every live spark by one tick; a spark whose life runs out is freed.
void particles_update();
// Draws every live spark as a square into the framebuffer.
void particles_draw();

// The pool, read-only (tests and diagnostics).
const particle *particles_pool();
// The number of live sparks.
int particles_num_alive();
