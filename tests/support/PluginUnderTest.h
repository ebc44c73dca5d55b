// The module under test, loaded once per test program from the path given
// on the command line (--module=PATH), and helpers to talk to it.
#ifndef LUMACUT_TESTS_SUPPORT_PLUGIN_UNDER_TEST_H
#define LUMACUT_TESTS_SUPPORT_PLUGIN_UNDER_TEST_H

#include <gtest/gtest.h>

#include <string>

#include "host/driver/PluginModule.h"
#include "host/driver/PluginRequests.h"
#include "host/suites/StandInHost.h"

// The module loaded for the whole program; a test fails if it cannot load.
const PluginModule& PluginUnderTest();
const std::string& PluginPath();

// A fresh host for every test, with the shared module.
class PluginTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(PluginUnderTest().Loaded()) << PluginUnderTest().Error(); }
    HostStatus Run(ActionParameters* parameters) { return SendRun(PluginUnderTest(), host, parameters); }
    HostStatus About() { return SendAbout(PluginUnderTest(), host); }
    HostStatus Request(const char* caller, const char* selector, ActionParameters* parameters = nullptr) {
        return SendRequest(PluginUnderTest(), host, caller, selector, parameters);
    }
    // What every call must leave behind: no suite held, no block or string
    // outstanding, and no contract broken.
    void ExpectCleanHost() {
        EXPECT_EQ(host.SuitesHeld(), 0) << host.LogText();
        EXPECT_EQ(host.LiveBlocks(), 0u) << host.LogText();
        EXPECT_EQ(host.LiveStrings(), 0u) << host.LogText();
        EXPECT_EQ(host.FirstError(), "") << host.LogText();
    }

    StandInHost host;
};

#endif
