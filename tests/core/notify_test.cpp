#include "core/errors.h"
#include "core/notify.h"

#include <gtest/gtest.h>

namespace kst {
namespace {

TEST(NotifyPersistent, UpdateBracketsNestAndOnlyTheOutermostReports) {
    TNotifyPersistent p;
    int calls = 0;
    TPersistent* sender = nullptr;
    p.OnChange = [&](TPersistent* s) {
        ++calls;
        sender = s;
    };
    p.Changed();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(sender, &p);

    p.BeginUpdate();
    p.BeginUpdate();
    p.Changed();
    p.EndUpdate();
    EXPECT_EQ(calls, 1);
    p.EndUpdate();
    EXPECT_EQ(calls, 2);
}

TEST(NotifyPersistent, SubObjectChangesReportUnlessTheSenderIsItself) {
    TNotifyPersistent owner, part;
    int calls = 0;
    owner.OnChange = [&](TPersistent*) { ++calls; };
    part.OnChange = [&](TPersistent* s) { owner.SubObjectChanged(s); };
    part.Changed();
    EXPECT_EQ(calls, 1);
    owner.SubObjectChanged(&owner);
    EXPECT_EQ(calls, 1);
}

TEST(NotifyPersistent, AssignOfAnUnknownClassRaisesConvertError) {
    TNotifyPersistent a, b;
    EXPECT_THROW(a.Assign(b), EConvertError);
}

} // namespace
} // namespace kst
