#pragma once
// Common ground of the tests that run the store requests against the store
// simulator: GDI+ for the pictures, the transport trusting the simulator,
// localConfig pointing at it with a fresh program directory, an empty
// storeState, and a mark in the simulator's request log.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "sim_client.h"
#include "temp_dir.h"

class StoreSimTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    // The requests the simulator saw since SetUp (or since Mark()).
    std::vector<SimLogEntry> Requests(const std::string& name = "") const;
    void Mark();

    // The next `count` answers to `request` are `body` (HTTP 200, JSON).
    void AnswerWith(const std::string& request, const std::string& body, int count = 1) const;

    // "https://localhost:P/pictures/<name>" and the bytes the simulator serves there.
    std::string PictureUrl(const std::string& name) const;
    std::string PictureBytes(const std::string& name) const;

    // Frees the pictures of storeState's records (releasing their files),
    // empties it and gives the next loads a fresh owner.
    void ClearStoreState();

    std::string apiHost() const;  // "localhost:P"

    // Serial tests own the simulator and clear every fault around each test.
    // Tests that run beside others leave the simulator's settings alone and
    // aim their faults at their own requests with "match".
    bool ownsSimulator_ = true;

    SimClient sim_;
    TempDir dir_;
    long mark_ = 0;
};

// "https://localhost:P/api/ps/<request>?<query>" as the simulator logs it.
std::string LoggedUrl(const SimInfo& info, const std::string& rest);
