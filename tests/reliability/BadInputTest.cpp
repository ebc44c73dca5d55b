// What a host can hand the plug-in that it should not: no message, no
// basic suite, no action parameters, a descriptor with the wrong things in
// it, modes no dialog offers, request strings that almost match, an equality
// answer with junk above its byte, a suite table that is not there. None of
// it may crash the plug-in, leak, or be reported as something it is not.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include "HostCall.h"
#include "entry/interface/HostCodes.h"
#include "host/suites/ActionsHost.h"
#include "support/ExpectedEvents.h"
#include "support/PluginUnderTest.h"

namespace reliability {
namespace {

const char* const kRunCaller = "PS Photoshop";
const char* const kRunSelector = "Do It";

void ExpectNothingOutstanding(const CallOutcome& outcome, const std::string& what) {
    EXPECT_EQ(outcome.liveBlocks, 0u) << what;
    EXPECT_EQ(outcome.liveStrings, 0u) << what;
    EXPECT_EQ(outcome.suitesHeld, 0) << what;
    EXPECT_EQ(outcome.firstError, "") << what << "\n" << outcome.log;
}

TEST(BadInput, NoMessageOrNoBasicSuiteIsRefusedWithParmAndNoHostCall) {
    struct Case {
        const char* what;
        bool message;
        bool basic;
        bool parameters;
    };
    const Case cases[] = {{"null message", false, false, false},
                          {"null basic suite", true, false, true},
                          {"null basic suite, no parameters", true, false, false}};
    for (const Case& c : cases) {
        StandInHost host;
        ActionParameters parameters{0, kIncomingRecordInfo, nullptr};
        EntryMessage message{};
        message.self = host.Plugin();
        message.basic = c.basic ? host.Basic() : nullptr;
        message.actionParameters = c.parameters ? &parameters : nullptr;
        for (const char* selector : {kRunSelector, "About"}) {
            const HostStatus status =
                PluginUnderTest().Entry()(kRunCaller, selector, c.message ? &message : nullptr);
            EXPECT_EQ(static_cast<uint32_t>(status), FourCC("Parm")) << c.what << ", " << selector;
        }
        EXPECT_TRUE(host.Log().empty()) << c.what << "\n" << host.LogText();
        EXPECT_EQ(parameters.recordInfo, kIncomingRecordInfo) << c.what;
    }
}

TEST(BadInput, RunWithoutActionParametersRunsModeOneAndWritesNothing) {
    for (bool fill : {true, false}) {
        const CallOutcome outcome = Call(Request::RunWithoutParameters(), {{}, fill});
        EXPECT_EQ(outcome.status, 0) << outcome.log;
        EXPECT_TRUE(SameEvents(outcome.played, expected::Run(1))) << EventsText(outcome.played);
        EXPECT_FALSE(outcome.written.has_value());
        ExpectNothingOutstanding(outcome, "no parameters");
    }
}

// What the incoming descriptor holds, and the mode the run must take from
// it: the mode when "Cnt " is an integer, whatever its value; the default
// otherwise.
struct DescriptorCase {
    const char* what;
    std::optional<DescriptorValue> content;  // none: a null descriptor
    int32_t mode;
};

DescriptorValue Holding(ActionValue value, FourCharCode key = FourCC("Cnt ")) { return {{key, std::move(value)}}; }

std::vector<DescriptorCase> DescriptorCases() {
    const ReferenceValue layer{{ReferenceForm::Class(FourCC("Lyr "))}};
    return {
        {"null descriptor", std::nullopt, 1},
        {"empty descriptor", DescriptorValue{}, 1},
        {"\"Cnt \" a float", Holding(ActionValue::Float(6.0)), 1},
        {"\"Cnt \" a boolean", Holding(ActionValue::Boolean(true)), 1},
        {"\"Cnt \" enumerated", Holding(ActionValue::Enumerated(FourCC("Ordn"), FourCC("Trgt"))), 1},
        {"\"Cnt \" a class", Holding(ActionValue::Class(FourCC("Lyr "))), 1},
        {"\"Cnt \" a reference", Holding(ActionValue::Reference(layer)), 1},
        {"\"Cnt \" a list", Holding(ActionValue::List({ActionValue::Integer(6)})), 1},
        {"\"Cnt \" an object", Holding(ActionValue::Object(FourCC("Pnt "), Holding(ActionValue::Integer(6)))), 1},
        {"the mode under another key", Holding(ActionValue::Integer(6), FourCC("cnt ")), 1},
        {"\"Cnt \" among other keys",
         DescriptorValue{{FourCC("Md  "), ActionValue::Integer(3)},
                         {FourCC("Cnt "), ActionValue::Integer(6)},
                         {FourCC("Rds "), ActionValue::Float(2.5)}},
         6},
        {"mode 0", Holding(ActionValue::Integer(0)), 0},
        {"mode 8", Holding(ActionValue::Integer(8)), 8},
        {"mode 12", Holding(ActionValue::Integer(12)), 12},
        {"mode -1", Holding(ActionValue::Integer(-1)), -1},
        {"mode INT32_MIN", Holding(ActionValue::Integer(INT32_MIN)), INT32_MIN},
        {"mode INT32_MAX", Holding(ActionValue::Integer(INT32_MAX)), INT32_MAX},
    };
}

TEST(BadInput, DescriptorContentDecidesTheModeOrLeavesTheDefault) {
    for (const DescriptorCase& c : DescriptorCases()) {
        for (bool fill : {true, false}) {
            const Request request = c.content ? Request::RunWithContent(*c.content) : Request::Run(0, std::nullopt);
            const CallOutcome outcome = Call(request, {{}, fill});
            EXPECT_EQ(outcome.status, 0) << c.what << "\n" << outcome.log;
            // Out of range plays the opening and closing events, no curve.
            EXPECT_TRUE(SameEvents(outcome.played, expected::Run(c.mode)))
                << c.what << ": played\n" << EventsText(outcome.played);
            // Written back as read, and only the mode: other keys are dropped.
            EXPECT_EQ(outcome.written, Holding(ActionValue::Integer(c.mode))) << c.what;
            EXPECT_EQ(outcome.recordInfo, 0) << c.what;
            EXPECT_TRUE(outcome.incomingFreed) << c.what;
            ExpectNothingOutstanding(outcome, c.what);
        }
    }
}

// Request strings that are not quite the run request, nor the About one.
TEST(BadInput, RequestStringsMatchExactlyOrDoNothing) {
    const std::string longText(1 << 20, 'P');
    const std::string longRun = std::string(kRunCaller) + std::string(1 << 16, ' ');
    struct Case {
        const char* what;
        const char* caller;
        const char* selector;
        bool runs;
    };
    const Case cases[] = {
        {"the run request", kRunCaller, kRunSelector, true},
        {"empty caller", "", kRunSelector, false},
        {"empty selector", kRunCaller, "", false},
        {"both empty", "", "", false},
        {"caller in lower case", "ps photoshop", kRunSelector, false},
        {"selector in upper case", kRunCaller, "DO IT", false},
        {"selector differs in one letter's case", kRunCaller, "Do it", false},
        {"caller with a trailing space", "PS Photoshop ", kRunSelector, false},
        {"caller cut short", "PS Photosho", kRunSelector, false},
        {"caller followed by 64 KiB of spaces", longRun.c_str(), kRunSelector, false},
        {"1 MiB caller and selector", longText.c_str(), longText.c_str(), false},
        {"About's caller with the run's selector", "SP Interface", kRunSelector, false},
        {"About in other case", "sp interface", "about", false},
        {"null caller", nullptr, kRunSelector, false},
        {"null selector", kRunCaller, nullptr, false},
    };
    for (const Case& c : cases) {
        StandInHost host;
        ActionParameters parameters{0, kIncomingRecordInfo, nullptr};
        const HostStatus status = SendRequest(PluginUnderTest(), host, c.caller, c.selector, &parameters);
        EXPECT_EQ(status, 0) << c.what << "\n" << host.LogText();
        EXPECT_EQ(host.CallCount("GetPluginName"), c.runs ? 1u : 0u) << c.what;
        EXPECT_EQ(host.Actions().Played().size(), c.runs ? expected::Run(1).size() : 0u) << c.what;
        if (c.runs) {
            host.Actions().TakeDescriptor(parameters.descriptor);
        } else {
            EXPECT_TRUE(host.AcquireOrder().empty()) << c.what << "\n" << host.LogText();
        }
        EXPECT_EQ(host.SuitesHeld(), 0) << c.what;
        EXPECT_EQ(host.LiveStrings(), 0u) << c.what;
        // The stand-in reports a null string given to its IsEqual; the
        // plug-in must not pass one on.
        EXPECT_EQ(host.FirstError(), "") << c.what << "\n" << host.LogText();
    }
}

// A host IsEqual whose one-byte answer sits in a wider register with junk
// above it: only the low byte counts, and any non-zero byte means equal.
struct EqualAnswer {
    uint32_t trueByte;
    uint32_t junk;
};
EqualAnswer equalAnswer{1, 0};

uint32_t LUMACUT_CDECL JunkIsEqual(const char* a, const char* b) {
    StandInHost::Active().Record(std::string("IsEqual ") + (a ? a : "(null)") + " " + (b ? b : "(null)"));
    if (a == nullptr || b == nullptr) {
        StandInHost::Active().Error("IsEqual given a null string");
        return equalAnswer.junk;
    }
    return (std::string(a) == b ? equalAnswer.trueByte : 0u) | equalAnswer.junk;
}

TEST(BadInput, OnlyTheLowByteOfTheHostsEqualAnswerCounts) {
    const EqualAnswer answers[] = {
        {1, 0x00000000u}, {1, 0xFFFFFF00u}, {0x80, 0x12345600u}, {0xFF, 0xABCDEF00u}, {0x02, 0x00000100u}};
    for (const EqualAnswer& answer : answers) {
        equalAnswer = answer;
        char what[64];
        std::snprintf(what, sizeof what, "equal byte 0x%02X, junk 0x%08X", answer.trueByte, answer.junk);
        struct Case {
            const char* caller;
            const char* selector;
            bool runs;
        };
        const Case cases[] = {{kRunCaller, kRunSelector, true},
                              {kRunCaller, "About", false},
                              {"SP Interface", kRunSelector, false},
                              {"other", "other", false}};
        for (const Case& c : cases) {
            StandInHost host;
            BasicSuite basic = *host.Basic();
            basic.IsEqual = reinterpret_cast<HostBoolean(LUMACUT_CDECL*)(const char*, const char*)>(
                reinterpret_cast<void (*)()>(JunkIsEqual));
            ActionParameters parameters{0, kIncomingRecordInfo, nullptr};
            EntryMessage message{};
            message.self = host.Plugin();
            message.basic = &basic;
            message.actionParameters = &parameters;
            const HostStatus status = PluginUnderTest().Entry()(c.caller, c.selector, &message);
            host.Actions().EndOfCall(parameters.descriptor);
            EXPECT_EQ(status, 0) << what << ", " << c.caller << "/" << c.selector;
            EXPECT_EQ(host.Actions().Played().size(), c.runs ? expected::Run(1).size() : 0u)
                << what << ", " << c.caller << "/" << c.selector << "\n" << host.LogText();
            if (c.runs) host.Actions().TakeDescriptor(parameters.descriptor);
            EXPECT_EQ(host.SuitesHeld(), 0) << what;
            EXPECT_EQ(host.FirstError(), "") << what << "\n" << host.LogText();
        }
    }
    equalAnswer = {1, 0};
}

// A host that says a suite was acquired and hands back no table: the plug-in
// must not call through it. It ends the run with "Parm" where it needs that
// suite, after what it could play without it.
TEST(BadInput, SuiteAcquiredWithoutATableEndsTheRunWithParm) {
    struct Case {
        const char* suite;
        std::size_t eventsBefore;  // of mode 1
    };
    const Case cases[] = {
        {kStringSuiteName, 0},
        {kUIHooksSuiteName, 0},
        {kDescriptorSuiteName, 0},  // nothing to read, no event to build
        {kControlSuiteName, 0},     // the first event cannot be played
        {kReferenceSuiteName, 0},   // the first event needs one
        {kListSuiteName, 4},        // the curve, after four events
    };
    for (const Case& c : cases) {
        StandInHost host;
        host.SetAcquireReturnsNullSuite(c.suite);
        host.Actions().SetPlayFillsResult(true);
        ActionParameters parameters{0, kIncomingRecordInfo,
                                    host.Actions().NewDescriptor(Holding(ActionValue::Integer(1)))};
        const ActionDescriptor incoming = parameters.descriptor;
        const HostStatus status = SendRun(PluginUnderTest(), host, &parameters);
        EXPECT_EQ(static_cast<uint32_t>(status), FourCC("Parm")) << c.suite << "\n" << host.LogText();
        const std::vector<PlayedEvent> mode1 = expected::Run(1);
        EXPECT_TRUE(SameEvents(host.Actions().Played(),
                               std::vector<PlayedEvent>(mode1.begin(), mode1.begin() + c.eventsBefore)))
            << c.suite << ": played\n" << EventsText(host.Actions().Played());
        EXPECT_EQ(parameters.descriptor, incoming) << c.suite;
        EXPECT_EQ(parameters.recordInfo, kIncomingRecordInfo) << c.suite;
        EXPECT_EQ(host.LiveBlocks(), 0u) << c.suite;
        EXPECT_EQ(host.LiveStrings(), 0u) << c.suite;
        EXPECT_EQ(host.FirstError(), "") << c.suite << "\n" << host.LogText();
    }
}

}  // namespace
}  // namespace reliability
