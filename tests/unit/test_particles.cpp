// test_particles.cpp -- spark bursts: the full pool
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

} // namespace
