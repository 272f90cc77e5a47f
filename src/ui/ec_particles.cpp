// ec_particles.cpp -- particle bursts: a fixed pool of sparks that fly and fade on ticks
#include "ui/ec_particles.h"

#include "graphics/d3d_gfx2d.h"

#include <cmath>
#include <cstdlib>

namespace {

particle particles[max_particles];

// A fresh random fraction in [0, 0.9999].
float random_fraction() { return (float)(std::rand() % 10000) / 10000.0f; }

// Rounds a spark coordinate to a pixel. Sparks never fly far, but a burst may be
// spawned anywhere: keep the conversion back to int defined.
int to_pixel(float v) {
    const float limit = 1.0e8f;
    if (!(v > -limit))
        v = -limit;
    if (v > limit)
        v = limit;
    return (int)std::floor(v + 0.5f);
}

} // namespace

void particles_clear() {
    for (particle &p : particles)
        p.alive = false;
}

void particle_burst(int x, int y) {
    int slot = 0;
    for (int n = 0; n < particles_per_burst; n++) {
        while (slot < max_particles && particles[slot].alive)
            slot++;
        if (slot == max_particles)
            return;
        // The order of the fields is the order of the rand calls.
        particle &p = particles[slot];
        p.alive = true;
        p.dx = random_fraction() * 2.0f - 1.0f;
        p.dy = random_fraction() * 2.0f - 1.0f;
        p.x = (float)x;
        p.y = (float)y;
        p.speed = random_fraction() * 2.0f + 2.0f;
        p.colour = particle_colour();
        p.life = std::rand() % 10 + 5;
        p.size = std::rand() % 4 + 4;
    }
}

u32 particle_colour() {
    const float t = random_fraction();
    const u32 r = (u32)std::floor(221.0f - 32.0f * t + 0.5f);
    const u32 g = (u32)std::floor(222.0f - 17.0f * t + 0.5f);
    const u32 b = (u32)std::floor(203.0f - 26.0f * t + 0.5f);
    return 0xFF000000u | r << 16 | g << 8 | b;
}

void particles_update() {
    for (particle &p : particles) {
        if (!p.alive)
            continue;
        p.life -= 1;
        p.x += p.dx * p.speed;
        p.y += p.dy * p.speed;
        if (p.life <= 0)
            p.alive = false;
    }
}

void particles_draw() {
    for (const particle &p : particles) {
        if (p.alive)
            gfx2d_draw_pixel(to_pixel(p.x), to_pixel(p.y), p.colour, p.size);
    }
}

const particle *particles_pool() { return particles; }

int particles_num_alive() {
    int n = 0;
    for (const particle &p : particles)
        n += p.alive ? 1 : 0;
    return n;
}
