#include "tests/store/store_sim_fixture.h"

#include <cjson/cJSON.h>

#include <memory>

#include "config/local_config.h"
#include "net/http.h"
#include "skin/gdiplus_session.h"
#include "store/store_state.h"

void StoreSimTest::SetUpTestSuite() {
    // Started once per test executable and never shut down: pictures of a
    // failed test may still be alive at exit.
    static const GdiplusSession* const gdiplus = new GdiplusSession;
    (void)gdiplus;
    HttpGlobalInit();
}

void StoreSimTest::SetUp() {
    ASSERT_TRUE(SimClient::FromEnvironment(&sim_)) << "store simulator not running";
    ASSERT_TRUE(dir_.ok());
    ASSERT_TRUE(SetTrustedCaFile(sim_.CaFileWide(), apiHost()));
    SetConnectionSharing(true);
    if (ownsSimulator_) {
        ASSERT_TRUE(sim_.ClearFaults());
        ASSERT_TRUE(sim_.SetConnLatency(0));
    }
    localConfig = LocalConfig();
    ASSERT_TRUE(AllocateResponseBuffer(localConfig));
    localConfig.moduleDir = dir_.path();
    localConfig.dataDir = dir_.path();
    localConfig.moduleDirAnsi = dir_.ansiPath();
    localConfig.apiHost = apiHost();
    localConfig.machineId = "0a:00:27:00:05:01";
    localConfig.channel = "master";
    ClearStoreState();
    Mark();
}

void StoreSimTest::TearDown() {
    if (ownsSimulator_)
        sim_.ClearFaults();
    storeState = StoreState();
}

void StoreSimTest::Mark() {
    mark_ = sim_.LastSeq();
}

std::vector<SimLogEntry> StoreSimTest::Requests(const std::string& name) const {
    return sim_.Log(mark_, name);
}

void StoreSimTest::AnswerWith(const std::string& request, const std::string& body,
                              int count) const {
    std::unique_ptr<cJSON, decltype(&cJSON_Delete)> fault(cJSON_CreateObject(), cJSON_Delete);
    cJSON_AddStringToObject(fault.get(), "request", request.c_str());
    cJSON_AddStringToObject(fault.get(), "kind", "body");
    cJSON_AddStringToObject(fault.get(), "body", body.c_str());
    cJSON_AddNumberToObject(fault.get(), "count", count);
    std::unique_ptr<char, decltype(&cJSON_free)> text(cJSON_PrintUnformatted(fault.get()),
                                                      cJSON_free);
    ASSERT_TRUE(sim_.AddFault(text.get())) << body;
}

std::string StoreSimTest::PictureUrl(const std::string& name) const {
    return sim_.url() + "/pictures/" + name;
}

std::string StoreSimTest::PictureBytes(const std::string& name) const {
    SimResponse response = sim_.Get("/pictures/" + name);
    EXPECT_TRUE(response.ok && response.status == 200) << name;
    return response.body;
}

std::string StoreSimTest::apiHost() const {
    return "localhost:" + std::to_string(sim_.info().port);
}

void StoreSimTest::ClearStoreState() {
    storeState = StoreState();
}

std::string LoggedUrl(const SimInfo& info, const std::string& rest) {
    return "https://localhost:" + std::to_string(info.port) + rest;
}
