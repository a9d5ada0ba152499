// What the simulation tests share: a clean world, the log caught in memory, parameter files
// made from text, and control of the next random draw.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "sim/generate.h"
#include "sim/log.h"
#include "sim/random.h"
#include "sim/regenerate.h"
#include "sim/world.h"

// Starts every test from a zero world and catches the log.
class SimTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::memset(&world, 0, sizeof world);
        params = SimParams{};
        agent = AgentState{};
        findUsedUpSquares();
        logStream = open_memstream(&logBuffer, &logSize);
        ASSERT_NE(logStream, nullptr);
    }
    void TearDown() override {
        std::fclose(logStream);
        std::free(logBuffer);
        logStream = stdout;
    }
    std::string logged() {
        std::fflush(logStream);
        return std::string(logBuffer, logSize);
    }

private:
    char* logBuffer = nullptr;
    size_t logSize = 0;
};

// Every interior square empty, at `priority`.
inline void emptyInterior(int32_t priority) {
    for (int row = 1; row <= 49; ++row) {
        for (int col = 1; col <= 49; ++col) {
            world[row][col] = {Empty, priority, Empty};
        }
    }
}

// A parameter file holding exactly `text`, read from its start.
inline std::FILE* fileWith(const std::string& text) {
    std::FILE* file = std::tmpfile();
    std::fwrite(text.data(), 1, text.size(), file);
    std::rewind(file);
    return file;
}

// A fresh run from `seed` and a parameter file holding `text`.
inline void startRun(uint32_t seed, const std::string& text) {
    std::FILE* file = fileWith(text);
    int32_t values[PARAM_COUNT];
    readParams(file, values);
    std::fclose(file);
    initWorldWith(seed, values);
}

// Seeds the generator so that its next draw is `draw` (0..32767): the state that produces it
// is found by running one step of the generator backwards.
inline void seedForNextDraw(int32_t draw) {
    uint32_t inverse = 1;  // of the multiplier, modulo 2^32, by Newton's iteration
    for (int i = 0; i < 5; ++i) {
        inverse *= 2u - 214013u * inverse;
    }
    const uint32_t next = static_cast<uint32_t>(draw) << 16;
    seedRandom((next - 2531011u) * inverse);
}

// How many draws `action` takes from the generator seeded with `seed`: the draws that follow it
// are found in the generator's own sequence from that seed.
template <typename Action>
int drawsTakenBy(uint32_t seed, Action action) {
    seedRandom(seed);
    action();
    const int32_t after[3] = {drawRandom(), drawRandom(), drawRandom()};
    seedRandom(seed);
    int32_t next[3] = {drawRandom(), drawRandom(), drawRandom()};
    for (int taken = 0; taken < 1000000; ++taken) {
        if (next[0] == after[0] && next[1] == after[1] && next[2] == after[2]) {
            return taken;
        }
        next[0] = next[1];
        next[1] = next[2];
        next[2] = drawRandom();
    }
    return -1;
}
