#include "core/errors.h"
#include "lists/string_list.h"

#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace kst {
namespace {

// The line mapping of a list, found the slow way by walking its rows.
struct WalkedLines {
    std::vector<int> LineOfRow;
    std::vector<int> FirstRows;

    explicit WalkedLines(const TRowAttributeStringList& rows) {
        int line = 0;
        for (int r = 0; r < rows.GetCount(); ++r) {
            if (r == 0 || rows.GetRowAttribute(r - 1) != raWrap) {
                FirstRows.push_back(r);
            }
            LineOfRow.push_back(line);
            if (rows.GetRowAttribute(r) != raWrap) {
                ++line;
            }
        }
        LineOfRow.push_back(line);
    }
};

void ExpectMappingMatchesWalk(const TRowAttributeStringList& rows) {
    WalkedLines walked(rows);
    ASSERT_EQ(rows.LineCount(), static_cast<int>(walked.FirstRows.size()));
    for (int r = 0; r <= rows.GetCount(); ++r) {
        ASSERT_EQ(rows.LineOfRow(r), walked.LineOfRow[static_cast<std::size_t>(r)]) << r;
    }
    for (int line = 0; line < rows.LineCount(); ++line) {
        const int first = walked.FirstRows[static_cast<std::size_t>(line)];
        ASSERT_EQ(rows.LineFirstRow(line), first) << line;
        ASSERT_EQ(rows.LineStartRow(first), first);
        int last = first;
        while (last + 1 < rows.GetCount() && rows.GetRowAttribute(last) == raWrap) {
            ++last;
        }
        ASSERT_EQ(rows.LineEndRow(first), last);
        ASSERT_EQ(rows.LineStartRow(last), first);
    }
}

TEST(LineIndex, FollowsRandomInsertsDeletesAndAttributeChanges) {
    std::mt19937 random(12345);
    TRowAttributeStringList rows;
    for (int step = 0; step < 3000; ++step) {
        const int count = rows.GetCount();
        const int op = static_cast<int>(random() % 5);
        if (op == 0 || count == 0) {
            rows.InsertItems(static_cast<int>(random() % (count + 1)),
                             1 + static_cast<int>(random() % 4));
        } else if (op == 1) {
            const int at = static_cast<int>(random() % count);
            const int n = 1 + static_cast<int>(random() % std::min(3, count - at));
            rows.DeleteItems(at, n);
        } else if (op == 2) {
            rows.Exchange(static_cast<int>(random() % count), static_cast<int>(random() % count));
        } else {
            rows.SetRowAttribute(static_cast<int>(random() % count),
                                 static_cast<TRowAttribute>(random() % 3));
        }
        if (step % 50 == 0) {
            ExpectMappingMatchesWalk(rows);
        }
    }
    ExpectMappingMatchesWalk(rows);
    rows.Clear();
    EXPECT_EQ(rows.LineCount(), 0);
    EXPECT_EQ(rows.LineOfRow(0), 0);
}

TEST(LineIndex, LastRowEndsALineEvenWhenMarkedWrapped) {
    TRowAttributeStringList rows;
    rows.InsertItems(0, 3);
    rows.SetRowAttribute(1, raWrap);
    rows.SetRowAttribute(2, raWrap);
    EXPECT_EQ(rows.LineCount(), 2);
    EXPECT_EQ(rows.LineFirstRow(1), 1);
    EXPECT_EQ(rows.LineEndRow(1), 2);
    EXPECT_THROW(rows.LineFirstRow(2), EStringListError);
}

} // namespace
} // namespace kst
