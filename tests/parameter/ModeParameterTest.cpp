// The read and the write-back from inside: the codes they return, which the
// run does not show, and what they leave when the host gives no suite.
#include <gtest/gtest.h>

#include "entry/interface/HostCodes.h"
#include "entry/base/HostContext.h"
#include "entry/base/HostSuiteTable.h"
#include "entry/parameter/ModeParameter.h"
#include "host/suites/ActionsHost.h"
#include "host/suites/HostStatusCodes.h"
#include "host/suites/StandInHost.h"

namespace {
const char* const kDescriptors = kDescriptorSuiteName;

class ModeParameter : public ::testing::Test {
protected:
    void SetUp() override {
        hostContext.basicSuite = host.Basic();
        hostContext.pluginRef = host.Plugin();
        currentMode = 1;
    }
    void TearDown() override {
        ReleaseAllHostSuites();
        currentMode = 1;
    }
    StandInHost host;
};

TEST_F(ModeParameter, ReadReturnsTheWidenedCodeAndTakesTheValueUnchecked) {
    struct Case {
        DescriptorValue content;
        int32_t code;
        int32_t mode;
    };
    const Case cases[] = {
        {{{FourCC("Cnt "), ActionValue::Integer(-40000)}}, 0, -40000},
        {{{FourCC("Othr"), ActionValue::Integer(5)}}, ActionsCode(kDescriptorKeyMissing), 1},
        {{{FourCC("Cnt "), ActionValue::Boolean(true)}}, ActionsCode(kDescriptorWrongType), 1},
    };
    for (const Case& c : cases) {
        currentMode = 1;
        ActionParameters parameters{0, 0, host.Actions().NewDescriptor(c.content)};
        EXPECT_EQ(ReadModeParameter(parameters), c.code) << c.content;
        EXPECT_EQ(currentMode, c.mode) << c.content;
        host.Actions().TakeDescriptor(parameters.descriptor);
    }
    host.Inject({"DescriptorGetInteger", 4, static_cast<HostStatus>(0xABCDFF80u)});
    ActionParameters parameters{0, 0, host.Actions().NewDescriptor({{FourCC("Cnt "), ActionValue::Integer(3)}})};
    EXPECT_EQ(ReadModeParameter(parameters), -128);
    host.Actions().TakeDescriptor(parameters.descriptor);
}

TEST_F(ModeParameter, NothingToReadOrWriteWithoutADescriptorSuite) {
    host.SetAcquireReturnsNullSuite(kDescriptors);
    currentMode = 4;
    ActionParameters parameters{0, 9, nullptr};
    EXPECT_EQ(ReadModeParameter(parameters), 0);
    EXPECT_EQ(WriteModeParameter(parameters), 0);
    EXPECT_EQ(currentMode, 4);
    EXPECT_EQ(parameters.descriptor, nullptr);
    EXPECT_EQ(parameters.recordInfo, 9);
    EXPECT_EQ(host.Actions().OperationCount(), 0u);
}

TEST_F(ModeParameter, WriteReturnsTheFailedOperationsCodeAndChangesNothing) {
    struct Case {
        const char* operation;
        HostStatus injected;
        int32_t code;
    };
    for (const Case& c : {Case{"DescriptorMake", 0x0001FF94, -108}, Case{"DescriptorPutInteger", -50, -50},
                          Case{"DescriptorFree", -1, 0}}) {
        StandInHost fresh;
        fresh.Inject({c.operation, 1, c.injected});
        const ActionDescriptor old = fresh.Actions().NewDescriptor({{FourCC("Cnt "), ActionValue::Integer(2)}});
        ActionParameters parameters{0, 9, old};
        currentMode = 6;
        EXPECT_EQ(WriteModeParameter(parameters), c.code) << c.operation;
        const bool written = c.code == 0;  // a failed Free of the old one is no failure
        EXPECT_EQ(parameters.descriptor != old, written) << c.operation;
        EXPECT_EQ(parameters.recordInfo, written ? 0 : 9) << c.operation;
        EXPECT_EQ(fresh.Actions().LiveHandles(), written ? 1u : 0u) << fresh.LogText();
        EXPECT_EQ(fresh.FirstError(), "") << fresh.LogText();
        fresh.Actions().TakeDescriptor(parameters.descriptor);
        ReleaseAllHostSuites();
    }
}
}  // namespace
