// GDI+ runs for the whole test executable, as it does for the program.
#include <gtest/gtest.h>

#include "skin/gdiplus_session.h"

namespace {

class GdiplusEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        session_ = new GdiplusSession;
        ASSERT_TRUE(session_->started());
    }
    void TearDown() override { delete session_; }

private:
    GdiplusSession* session_ = nullptr;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

}  // namespace
