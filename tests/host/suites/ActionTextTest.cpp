// Descriptors as text: the run log's form, and reading it back.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>

#include "entry/interface/HostCodes.h"
#include "host/suites/ActionText.h"

namespace {
DescriptorValue Everything() {
    const ReferenceValue twoForms{{ReferenceForm::Class(FourCC("Lyr ")), ReferenceForm::Property(FourCC("Chnl"), FourCC("fsel"))}};
    return {{FourCC("Int "), ActionValue::Integer(INT32_MIN)},
            {FourCC("Flt "), ActionValue::Float(0.1)},
            {FourCC("Big "), ActionValue::Float(-1e300)},
            {FourCC("Whl "), ActionValue::Float(255.0)},
            {FourCC("Bool"), ActionValue::Boolean(false)},
            {FourCC("Enum"), ActionValue::Enumerated(FourCC("UsrM"), FourCC("RvlS"))},
            {FourCC("Cls "), ActionValue::Class(FourCC("Chnl"))},
            {FourCC("Ref "), ActionValue::Reference(twoForms)},
            {FourCC("None"), ActionValue::Reference(ReferenceValue{})},
            {FourCC("Lst "), ActionValue::List({ActionValue::Integer(1), ActionValue::List({}),
                                                ActionValue::Object(FourCC("Pnt "), {})})},
            {0x22005C7Fu, ActionValue::Integer(0)}};  // a quote, a NUL, a backslash, DEL
}

TEST(ActionText, PrintsTheLogsForm) {
    EXPECT_EQ(DescriptorText(Everything()),
              "{\"Int \": -2147483648, \"Flt \": 0.1, \"Big \": -1e+300, \"Whl \": 255.0, \"Bool\": false, "
              "\"Enum\": enum \"UsrM\" \"RvlS\", \"Cls \": class \"Chnl\", \"Ref \": ref(class \"Lyr \", prop \"Chnl\" "
              "\"fsel\"), \"None\": ref(), \"Lst \": list[1, list[], object \"Pnt \" {}], \"\\\"\\x00\\\\\\x7F\": 0}");
    // Curve levels print as the whole numbers they are, not in exponent form.
    EXPECT_EQ(DescriptorText({{FourCC("Hrzn"), ActionValue::Float(70.0)}, {FourCC("Vrtc"), ActionValue::Float(-5.0)}}),
              "{\"Hrzn\": 70.0, \"Vrtc\": -5.0}");
    PlayedEvent event;
    event.event = FourCC("Invs");
    event.dialogOption = 2;
    EXPECT_EQ(PlayedText(event), "Play \"Invs\" (no descriptor)");
    event.dialogOption = 1;
    event.descriptor = DescriptorValue{};
    EXPECT_EQ(PlayedText(event), "Play \"Invs\" {} dialog 1");
}

TEST(ActionText, ReadsBackWhatItPrints) {
    std::string error;
    const std::optional<DescriptorValue> read = ParseDescriptor(DescriptorText(Everything()), &error);
    ASSERT_TRUE(read.has_value()) << error;
    EXPECT_EQ(*read, Everything());
    // Floats keep every bit; an integer-looking float stays a float.
    for (double value : {0.1, 1.0 / 3.0, 5e-324, -0.0, 70.0, 1e15, 1.7976931348623157e308}) {
        const std::optional<DescriptorValue> one =
            ParseDescriptor(DescriptorText({{FourCC("F   "), ActionValue::Float(value)}}), nullptr);
        ASSERT_TRUE(one.has_value());
        ASSERT_EQ(one->Find(FourCC("F   "))->kind, ValueKind::Float);
        EXPECT_EQ(std::signbit(one->Find(FourCC("F   "))->number), std::signbit(value));
        EXPECT_EQ(one->Find(FourCC("F   "))->number, value);
    }
    const std::optional<DescriptorValue> spaced = ParseDescriptor("  {\n \"Cnt \" :6 ,\"Nw  \":class \"Chnl\" }\n", nullptr);
    EXPECT_EQ(spaced, (DescriptorValue{{FourCC("Cnt "), ActionValue::Integer(6)}, {FourCC("Nw  "), ActionValue::Class(FourCC("Chnl"))}}));
}

struct BadText {
    std::string text;
    const char* why;
};

class ActionTextRefuses : public ::testing::TestWithParam<BadText> {};

TEST_P(ActionTextRefuses, MalformedText) {
    std::string error;
    EXPECT_FALSE(ParseDescriptor(GetParam().text, &error).has_value());
    EXPECT_NE(error.find(GetParam().why), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ActionTextRefuses,
    ::testing::Values(BadText{"", "expected '{'"}, BadText{"{\"Cnt \": 6", "expected '}'"},
                      BadText{"{\"Cnt\": 6}", "four characters"}, BadText{"{\"Cnt  \": 6}", "four characters"},
                      BadText{"{\"Cn\\q \": 6}", "unknown escape"}, BadText{"{\"Cn\\x4 \": 6}", "bad \\x escape"},
                      BadText{"{\"Cnt \": 2147483648}", "bad 32-bit integer"}, BadText{"{\"Cnt \": 0x10}", "bad 32-bit"},
                      BadText{"{\"Cnt \": 1.2.3}", "bad number"}, BadText{"{\"Cnt \": }", "expected a value"},
                      BadText{"{\"Cnt \": 1} x", "unexpected text"}, BadText{"{\"Cnt \": 1, \"Cnt \": 2}", "appears twice at line 1, column 13"},
                      BadText{"{\"Ref \": ref(box \"Lyr \")}", "reference form"},
                      // A NUL byte ends no number early, letting what follows it through.
                      BadText{std::string("{\"Cnt \": 5\0x}", 13), "expected '}' at line 1, column 11"},
                      BadText{"{\n\"Cnt \": 4\n\"Mode\": 1}", "expected '}' at line 3, column 1"}));

// Descriptors, lists and objects count alike, up to the bound and no
// further, however deep the text goes.
TEST(ActionText, RefusesNestingThatWouldExhaustTheStack) {
    const auto nested = [](int levels, const std::string& open, const std::string& close) {
        std::string text = "{\"Deep\": ";
        for (int i = 1; i < levels; ++i) text += open;
        text += "1";
        for (int i = 1; i < levels; ++i) text += close;
        return text + "}";
    };
    for (const auto& [open, close] : {std::pair<std::string, std::string>{"list[", "]"},
                                      {"object \"Obj \" {\"Deep\": ", "}"}}) {
        SCOPED_TRACE(open);
        EXPECT_TRUE(ParseDescriptor(nested(kMaxDescriptorNesting, open, close), nullptr).has_value());
        for (int levels : {kMaxDescriptorNesting + 1, 100000}) {
            std::string error;
            EXPECT_FALSE(ParseDescriptor(nested(levels, open, close), &error).has_value());
            EXPECT_NE(error.find("nested more than 64 deep"), std::string::npos) << error;
        }
    }
}
}  // namespace
