// A run of radio buttons on a real dialog: checking one clears the others
// of the run, the lowest checked id is the answer, and an unset group or an
// id outside the run changes nothing.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "FrameworkTestDialogs.h"
#include "ui/RadioButtonGroup.h"

namespace {
class RadioButtonGroupTest : public FrameworkTest {
protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        dialog = CreateTestDialog(kTestDialog);
        ASSERT_NE(dialog, nullptr);
    }
    void SetChecks(const std::vector<int>& ids) {
        for (int id = 20; id <= 23; ++id) CheckDlgButton(dialog, id, BST_UNCHECKED);
        for (int id : ids) CheckDlgButton(dialog, id, BST_CHECKED);
    }
    std::vector<int> Checks() const {
        std::vector<int> ids;
        for (int id = 20; id <= 23; ++id)
            if (IsDlgButtonChecked(dialog, id) == BST_CHECKED) ids.push_back(id);
        return ids;
    }
    HWND dialog = nullptr;
};

TEST_F(RadioButtonGroupTest, NewGroupIsUnsetAndSetRangeStoresItsIdsAsGiven) {
    RadioButtonGroup group;
    EXPECT_EQ(group.firstId, -1);
    EXPECT_EQ(group.lastId, -1);
    EXPECT_EQ(group.window, nullptr);
    group.SetRange(23, 20);
    EXPECT_EQ(group.firstId, 23);
    EXPECT_EQ(group.lastId, 20);
}

TEST_F(RadioButtonGroupTest, CheckSetsOneButtonOfTheRunAndIgnoresIdsOutsideIt) {
    struct Case {
        std::vector<int> before;
        int check;
        std::vector<int> after;
    };
    const std::vector<Case> cases = {
        {{}, 20, {20}},          {{20}, 22, {22}},        {{21, 23}, 23, {23}},
        {{21}, 19, {21}},        {{21}, 24, {21}},        {{21}, -1, {21}},
        {{22}, 2, {22}},
    };
    RadioButtonGroup group;
    group.window = dialog;
    group.SetRange(20, 23);
    for (const Case& c : cases) {
        SetChecks(c.before);
        group.Check(c.check);
        EXPECT_EQ(Checks(), c.after) << "check " << c.check;
    }
}

TEST_F(RadioButtonGroupTest, CheckedIdIsTheLowestCheckedButtonOrMinusOne) {
    struct Case {
        std::vector<int> checked;
        int expected;
    };
    const std::vector<Case> cases = {
        {{}, -1}, {{20}, 20}, {{23}, 23}, {{21, 23}, 21}, {{22, 23}, 22}, {{20, 21, 22, 23}, 20},
    };
    RadioButtonGroup group;
    group.window = dialog;
    group.SetRange(20, 23);
    for (const Case& c : cases) {
        SetChecks(c.checked);
        EXPECT_EQ(group.CheckedId(), c.expected);
    }
    // A run narrower than the buttons looks only inside itself.
    group.SetRange(22, 23);
    SetChecks({20, 23});
    EXPECT_EQ(group.CheckedId(), 23);
}

TEST_F(RadioButtonGroupTest, UnsetOrReversedGroupsDoNothingAndAnswerMinusOne) {
    struct Case {
        const char* what;
        int first, last;
        bool withWindow;
    };
    const std::vector<Case> cases = {
        {"never set", -1, -1, true},   {"first unset", -1, 23, true}, {"last unset", 20, -1, true},
        {"no window", 20, 23, false},  {"reversed", 23, 20, true},
    };
    for (const Case& c : cases) {
        RadioButtonGroup group;
        if (c.withWindow) group.window = dialog;
        group.SetRange(c.first, c.last);
        SetChecks({21});
        group.Check(22);
        EXPECT_EQ(Checks(), std::vector<int>{21}) << c.what;
        EXPECT_EQ(group.CheckedId(), -1) << c.what;
    }
}
}  // namespace
