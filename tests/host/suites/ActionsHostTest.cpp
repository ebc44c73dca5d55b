// The host stand-in's Actions suites as a plug-in sees them through their
// tables: real containers that copy what they are given, a GetInteger that
// refuses what is not there, fault injection by operation, and every misuse
// of a handle caught.
#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <string>

#include "entry/interface/HostCodes.h"
#include "host/suites/ActionsHost.h"
#include "host/suites/HostStatusCodes.h"
#include "host/suites/StandInHost.h"

namespace {
struct Suites {
    explicit Suites(StandInHost& host)
        : d(*static_cast<const ActionDescriptorSuite*>(
              host.Actions().SuiteTable(kDescriptorSuiteName, kDescriptorSuiteVersion))),
          c(*static_cast<const ActionControlSuite*>(host.Actions().SuiteTable(kControlSuiteName, kControlSuiteVersion))),
          r(*static_cast<const ActionReferenceSuite*>(
              host.Actions().SuiteTable(kReferenceSuiteName, kReferenceSuiteVersion))),
          l(*static_cast<const ActionListSuite*>(host.Actions().SuiteTable(kListSuiteName, kListSuiteVersion))) {}
    const ActionDescriptorSuite& d;
    const ActionControlSuite& c;
    const ActionReferenceSuite& r;
    const ActionListSuite& l;
};

class ActionsStandIn : public ::testing::Test {
protected:
    StandInHost host;
    Suites suites{host};
};

TEST_F(ActionsStandIn, OnlyTheFourSuitesAtTheirVersionsAreOffered) {
    EXPECT_EQ(host.Actions().SuiteTable(kDescriptorSuiteName, 1), nullptr);
    EXPECT_EQ(host.Actions().SuiteTable(kListSuiteName, 2), nullptr);
    EXPECT_EQ(host.Actions().SuiteTable(kUnnamedSuiteName, 1), nullptr);
}

TEST_F(ActionsStandIn, PutsAreDeepCopiesInPutOrder) {
    ActionDescriptor event = nullptr, point = nullptr;
    ActionReference reference = nullptr;
    ActionList list = nullptr;
    ASSERT_EQ(suites.d.Make(&event), 0);
    ASSERT_EQ(suites.r.Make(&reference), 0);
    ASSERT_EQ(suites.r.PutClass(reference, FourCC("Lyr ")), 0);
    ASSERT_EQ(suites.d.PutReference(event, FourCC("null"), reference), 0);
    ASSERT_EQ(suites.d.Make(&point), 0);
    ASSERT_EQ(suites.d.PutFloat(point, FourCC("Hrzn"), 126.0), 0);
    ASSERT_EQ(suites.l.Make(&list), 0);
    ASSERT_EQ(suites.l.PutObject(list, FourCC("Pnt "), point), 0);
    ASSERT_EQ(suites.d.PutList(event, FourCC("Crv "), list), 0);
    ASSERT_EQ(suites.d.PutInteger(event, FourCC("Rds "), 1), 0);

    // Changing what was put afterwards does not reach into the copy.
    ASSERT_EQ(suites.r.PutProperty(reference, FourCC("Chnl"), FourCC("fsel")), 0);
    ASSERT_EQ(suites.d.PutFloat(point, FourCC("Vrtc"), 255.0), 0);
    ASSERT_EQ(suites.l.PutObject(list, FourCC("Pnt "), point), 0);
    // A key put again is replaced where it stands.
    ASSERT_EQ(suites.d.PutInteger(event, FourCC("null"), 7), 0);

    const DescriptorValue expected = {
        {FourCC("null"), ActionValue::Integer(7)},
        {FourCC("Crv "), ActionValue::List({ActionValue::Object(FourCC("Pnt "), {{FourCC("Hrzn"), ActionValue::Float(126.0)}})})},
        {FourCC("Rds "), ActionValue::Integer(1)}};
    EXPECT_EQ(host.Actions().Content(event), expected);
    for (ActionDescriptor d : {event, point}) suites.d.Free(d);
    suites.r.Free(reference);
    suites.l.Free(list);
    EXPECT_EQ(host.Actions().LiveHandles(), 0u);
    EXPECT_EQ(host.FirstError(), "") << host.LogText();
}

TEST_F(ActionsStandIn, GetIntegerReadsOnlyAnIntegerThatIsThere) {
    const ActionDescriptor d = host.Actions().NewDescriptor(
        {{FourCC("Cnt "), ActionValue::Integer(-7)}, {FourCC("Flt "), ActionValue::Float(6.0)},
         {FourCC("Bool"), ActionValue::Boolean(true)}});
    struct Case {
        FourCharCode key;
        HostStatus status;
        int32_t value;
    };
    for (const Case& c : {Case{FourCC("Cnt "), 0, -7}, Case{FourCC("Flt "), kDescriptorWrongType, 99},
                          Case{FourCC("Bool"), kDescriptorWrongType, 99}, Case{FourCC("Othr"), kDescriptorKeyMissing, 99}}) {
        int32_t value = 99;
        EXPECT_EQ(suites.d.GetInteger(d, c.key, &value), c.status) << c.key;
        EXPECT_EQ(value, c.value) << "a failed read leaves the out value alone: " << c.key;
    }
    EXPECT_NE(ActionsCode(kDescriptorKeyMissing), 0) << "the code survives the 16-bit truncation";
    EXPECT_EQ(host.Actions().TakeDescriptor(d).has_value(), true);
}

TEST_F(ActionsStandIn, InjectionCountsAcrossEveryOperationAndPerName) {
    host.Inject({"actions", 3, 0x1234FF80});
    host.Inject({"DescriptorPutInteger", 2, -9});
    ActionDescriptor d = nullptr;
    ActionReference r = nullptr;
    EXPECT_EQ(suites.d.Make(&d), 0);                                           // actions #1
    EXPECT_EQ(suites.d.PutInteger(d, FourCC("Rds "), 1), 0);                   // #2, PutInteger #1
    EXPECT_EQ(suites.r.Make(&r), static_cast<HostStatus>(0x1234FF80));         // #3
    EXPECT_EQ(r, nullptr) << "a failed Make hands out nothing";
    EXPECT_EQ(suites.d.PutInteger(d, FourCC("Thsh"), 0), -9);                  // #4, PutInteger #2
    EXPECT_EQ(host.Actions().Content(d), (DescriptorValue{{FourCC("Rds "), ActionValue::Integer(1)}}));
    EXPECT_EQ(host.Actions().OperationCount(), 4u);
    host.Inject({"DescriptorFree", 1, -1});
    EXPECT_EQ(suites.d.Free(d), -1);
    EXPECT_FALSE(host.Actions().IsLive(d)) << "a failed Free still releases: the plug-in can do nothing else";
    EXPECT_EQ(host.FirstError(), "");
}

TEST_F(ActionsStandIn, PlayRecordsACopyFillsTheResultOnRequestAndRunsTheHandler) {
    std::vector<PlayedEvent> executed;
    host.Actions().SetPlayHandler([&](const PlayedEvent& event) {
        executed.push_back(event);
        return event.event == FourCC("Dlt ") ? -1708 : 0;
    });
    ActionDescriptor d = host.Actions().NewDescriptor({{FourCC("Dplc"), ActionValue::Boolean(true)}});
    ActionDescriptor result = nullptr;
    EXPECT_EQ(suites.c.Play(&result, FourCC("MrgV"), d, 2), 0);
    EXPECT_EQ(result, nullptr) << "by default the host hands no result back";
    host.Actions().SetPlayFillsResult(true);
    EXPECT_EQ(suites.c.Play(&result, FourCC("Dlt "), nullptr, 1), -1708);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(host.Actions().LiveHandles(), 1u) << "the result is the plug-in's to free";
    EXPECT_EQ(suites.d.Free(result), 0);

    ASSERT_EQ(host.Actions().Played().size(), 2u);
    EXPECT_EQ(host.Actions().Played()[0].descriptor, (DescriptorValue{{FourCC("Dplc"), ActionValue::Boolean(true)}}));
    EXPECT_EQ(host.Actions().Played()[1].descriptor, std::nullopt);
    EXPECT_EQ(host.Actions().Played()[1].dialogOption, 1);
    EXPECT_EQ(host.Actions().Played()[1].status, -1708);
    ASSERT_EQ(executed.size(), 2u);
    EXPECT_EQ(executed[0].event, FourCC("MrgV"));
    host.Actions().TakeDescriptor(d);
    EXPECT_EQ(host.FirstError(), "");
}

// Each misuse of a handle is reported, naming what went wrong; a call given
// a bad handle is refused with the host's "bad parameter".
struct Misuse {
    const char* name;
    std::function<HostStatus(StandInHost&, const Suites&)> act;
    HostStatus status;  // what the offending call answers
    const char* report;
};

const Misuse kMisuses[] = {
    {"double free",
     [](StandInHost&, const Suites& s) {
         ActionDescriptor d = nullptr;
         s.d.Make(&d);
         s.d.Free(d);
         return s.d.Free(d);
     },
     kParamError, "DescriptorFree given D1 after it was freed"},
    {"free through the wrong suite",
     [](StandInHost&, const Suites& s) {
         ActionDescriptor d = nullptr;
         s.d.Make(&d);
         const HostStatus status = s.r.Free(reinterpret_cast<ActionReference>(d));
         s.d.Free(d);
         return status;
     },
     kParamError, "ReferenceFree given D1, a descriptor handle"},
    {"use after free",
     [](StandInHost&, const Suites& s) {
         ActionReference r = nullptr;
         ActionDescriptor d = nullptr;
         s.r.Make(&r);
         s.d.Make(&d);
         s.r.Free(r);
         const HostStatus status = s.d.PutReference(d, FourCC("null"), r);
         s.d.Free(d);
         return status;
     },
     kParamError, "DescriptorPutReference given R1 after it was freed"},
    {"unknown handle",
     [](StandInHost&, const Suites& s) {
         int notAHandle = 0;
         return s.d.PutInteger(reinterpret_cast<ActionDescriptor>(&notAHandle), FourCC("Rds "), 1);
     },
     kParamError, "DescriptorPutInteger given a handle the host never made"},
    {"null handle", [](StandInHost&, const Suites& s) { return s.l.PutObject(nullptr, FourCC("Pnt "), nullptr); },
     kParamError, "ListPutObject given a null handle"},
    {"result not empty",
     [](StandInHost&, const Suites& s) {
         ActionDescriptor result = nullptr;
         s.d.Make(&result);
         const HostStatus status = s.c.Play(&result, FourCC("Invs"), nullptr, 2);
         s.d.Free(result);
         return status;
     },
     0, "Play given a result descriptor that is not empty: D1"},
    {"leak",
     [](StandInHost& host, const Suites& s) {
         ActionList l = nullptr;
         s.l.Make(&l);
         host.Actions().EndOfCall(nullptr);
         return 0;
     },
     0, "leak: L1 still live after the call"},
    {"freed descriptor left in the parameters",
     [](StandInHost& host, const Suites& s) {
         ActionDescriptor d = nullptr;
         s.d.Make(&d);
         s.d.Free(d);
         host.Actions().EndOfCall(d);
         return 0;
     },
     0, "the parameters hold a descriptor that is not live"},
};

class HandleMisuse : public ::testing::TestWithParam<Misuse> {};

TEST_P(HandleMisuse, IsRefusedAndReported) {
    StandInHost host;
    const Suites suites(host);
    EXPECT_EQ(GetParam().act(host, suites), GetParam().status);
    EXPECT_EQ(host.FirstError().rfind(GetParam().report, 0), 0u) << host.FirstError();
}

INSTANTIATE_TEST_SUITE_P(EveryKind, HandleMisuse, ::testing::ValuesIn(kMisuses),
                         [](const ::testing::TestParamInfo<Misuse>& test) {
                             std::string name;
                             for (const char* c = test.param.name; *c; ++c)
                                 if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
                             return name;
                         });
}  // namespace
