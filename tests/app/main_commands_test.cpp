#include "app/main_commands.h"

#include <gtest/gtest.h>
#include <map>
#include <string>

namespace kst {
namespace {

// A row added with a key another command has, a key the key names do not know, a name out of
// its place, or no way for the user to reach it breaks the table.
TEST(MainCommandsTest, EveryCommandHasItsOwnKeyAndCanBeReached) {
    std::map<std::string, std::string> ownerOfKey;
    for (std::size_t index = 0; index < MainCommands().size(); ++index) {
        const TCommandRow& row = MainCommands()[index];
        SCOPED_TRACE(std::string(row.Name));
        EXPECT_EQ(row.Id, index);
        EXPECT_EQ(CommandNamed(row.Name), row.Id);
        const TShortCut key = TextToShortCut(row.DefaultKeys);
        EXPECT_EQ(ShortCutToText(key), row.DefaultKeys);
        if (!key.IsNone()) {
            const auto [owner, added] = ownerOfKey.emplace(row.DefaultKeys, row.Name);
            EXPECT_TRUE(added) << row.DefaultKeys << " is " << owner->second << "'s too";
        }
        EXPECT_TRUE(row.Menu.Shown || !key.IsNone() || !row.Button.IsNone() || !row.PopUp.IsNone());
        EXPECT_NE(row.Handler, nullptr);
        EXPECT_NE(row.Rule, nullptr);
    }
    EXPECT_EQ(CommandNamed("NoSuchCommand"), std::nullopt);
}

} // namespace
} // namespace kst
