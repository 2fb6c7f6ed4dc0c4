// The program as the end-to-end tests start it when they need start-up
// inputs of their own: the shipped application with the adapter list of
// PARVELLE_TEST_ADAPTERS (adapter_override.h), when that is set, and the
// long run's counters (stats_reporter.h). Built for the
// tests only; the shipped exe reads no such variable.
#include "app/parvelle_app.h"
#include "tests/e2e/adapter_override.h"
#include "tests/e2e/stats_reporter.h"

namespace {

class CTestInputsApp : public CparvelleApp {
public:
    BOOL InitInstance() override {
        startupInputs.adapters = AdapterOverrideFromEnvironment();
        StartStatsReporterFromEnvironment();
        return CparvelleApp::InitInstance();
    }
};

CTestInputsApp testApp;

}  // namespace
