#include "core/errors.h"
#include "main_form_fixture.h"

namespace kst {
namespace {

using TMessage = FakeDesktop::TMessage;

class ScriptToolCommandsTest : public MainFormTest {
protected:
    void SetUp() override { Create(); }
    void Open(const std::string& Text) {
        Editor->GetLines().SetTextStr(Text);
        Editor->SetRowCol(0, 0);
    }
};

TEST_F(ScriptToolCommandsTest, KeysAndToolButtonsRunTheCommands) {
    struct TCase {
        const char* ShortCut;
        TCommandId Command;
        std::string Text;
        std::string Expected;
    };
    const std::vector<TCase> cases = {
        {"F5", cmComment, "a\r\n", "'a\r\n"},
        {"F6", cmUncomment, "'a\r\n", "a\r\n"},
        {"Ctrl+T", cmFormat, "Sub s\r\nx\r\nEnd Sub\r\n", "Sub s\r\n\tx\r\nEnd Sub\r\n"},
    };
    for (const TCase& test : cases) {
        SCOPED_TRACE(test.ShortCut);
        Open(test.Text);
        TMenuItem* item = Form->Menus.MainMenu.FindShortCut(TextToShortCut(test.ShortCut));
        ASSERT_NE(item, nullptr);
        item->Click();
        EXPECT_EQ(Text(), test.Expected);
        Open(test.Text);
        Form->Menus.Button(test.Command)->Click();
        EXPECT_EQ(Text(), test.Expected);
    }
}

TEST_F(ScriptToolCommandsTest, AFormattingFailureIsShownInAnErrorBox) {
    Open("Sub s\r\nx\r\nEnd Sub\r\n");
    Editor->OnChange = [](TEditor&) { throw Exception("メモリが足りません"); };
    Form->Menus.MenuItem(cmFormat)->Click();
    const TMessage error{"構文チェック中のエラー：\r\nメモリが足りません", "エラー",
                         TMessageType::Error, TMessageButtons::Ok};
    EXPECT_EQ(Desk.Messages, std::vector<TMessage>{error});
}

} // namespace
} // namespace kst
