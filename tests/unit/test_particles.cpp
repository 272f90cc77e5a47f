// test_particles.cpp -- spark bursts: the full pool, lifetimes and movement
// (sparks move on frame ticks only, which stop while the window is inactive: test_cursor)
#include "ui/ec_particles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

class particles_test : public ::testing::Test {
protected:
    void SetUp() override {
        std::srand(1234);
        particles_clear();
    }
    void TearDown() override { particles_clear(); }
};

TEST_F(particles_test, five_hundred_live_sparks_leave_room_for_twelve) {
    // 500 live: one burst aged until exactly 4 of it are left, then 31 bursts.
    bool reached = false;
    for (unsigned seed = 1; seed < 100 && !reached; seed++) {
        std::srand(seed);
        particles_clear();
        particle_burst(10, 10);
        while (particles_num_alive() > 4)
            particles_update();
        reached = particles_num_alive() == 4;
    }
    ASSERT_TRUE(reached);
    for (int i = 0; i < 31; i++)
        particle_burst(20, 20);
    ASSERT_EQ(particles_num_alive(), 500);

    particle_burst(640, 360);
    EXPECT_EQ(particles_num_alive(), max_particles);
    EXPECT_EQ(std::count_if(particles_pool(), particles_pool() + max_particles,
                            [](const particle &p) { return p.x == 640.0f; }),
              12);
}

TEST_F(particles_test, a_spark_lives_exactly_its_life_in_ticks_and_moves_each_tick) {
    particle_burst(500, 300);
    particle born[particles_per_burst];
    bool saw_life_five = false;
    for (int i = 0; i < particles_per_burst; i++) {
        const particle &b = born[i] = particles_pool()[i];
        EXPECT_TRUE(b.dx >= -1.0f && b.dx < 1.0f && b.dy >= -1.0f && b.dy < 1.0f && b.speed >= 2.0f &&
                    b.speed < 4.0f && b.life >= 5 && b.life <= 14 && b.size >= 4 && b.size <= 7);
        saw_life_five |= b.life == 5;
    }
    EXPECT_TRUE(saw_life_five) << "the seed gave no spark of life 5";
    for (int tick = 1; tick <= 14; tick++) {
        particles_update();
        for (int i = 0; i < particles_per_burst; i++) {
            const particle &p = particles_pool()[i];
            EXPECT_EQ(p.alive, tick < born[i].life) << "slot " << i << " tick " << tick;
            if (p.alive) {
                EXPECT_NEAR(p.x, born[i].x + tick * born[i].dx * born[i].speed, 1e-3);
                EXPECT_NEAR(p.y, born[i].y + tick * born[i].dy * born[i].speed, 1e-3);
            }
        }
    }
}

} // namespace
