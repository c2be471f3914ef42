#include "main_form_fixture.h"

namespace kst {
namespace {

class StructureCommandsTest : public MainFormTest {
protected:
    void SetUp() override { Create(); }
    // The command, and the idle steps after it that show the rest of its list.
    void Press(const char* ShortCut) {
        Form->Menus.MainMenu.FindShortCut(TextToShortCut(ShortCut))->Click();
        while (Form->AppIdle()) {
        }
    }
    // A jump from entry Index: the caret's row afterwards.
    int JumpFrom(int Index) {
        Editor->SetRowCol(0, 1);
        View.SelectedIndex = Index;
        Form->ListBox1DblClick();
        return Editor->GetRow();
    }
};

TEST_F(StructureCommandsTest, F7ListsTheProblemsAndJumpsToTheirLines) {
    Editor->GetLines().SetTextStr("Dim s\r\nSub s\r\n\tIf a Then\r\nEnd Sub\r\nNext\r\n");
    Press("F7");
    EXPECT_TRUE(View.ResultsShown);
    EXPECT_TRUE(Form->Menus.MenuItem(cmSearchList)->Checked);
    EXPECT_EQ(View.Results, (std::vector<std::string>{
                                "[0004] : 3行目の If が閉じられる前に End Sub があります",
                                "[0005] : Next に対応する For がありません",
                                "[0002] : 警告: 's' は既に宣言されています", "> [3]件の問題"}))
        << "the warnings after the problems, counted with them";
    EXPECT_EQ(JumpFrom(1), 4);
    EXPECT_EQ(JumpFrom(2), 1);
    EXPECT_EQ(JumpFrom(3), 0) << "the summary moves nothing";

    Editor->GetLines().SetTextStr("x = 1\r\n");
    Press("F7");
    EXPECT_EQ(View.Results, std::vector<std::string>{"> 問題はありません"});
}

TEST_F(StructureCommandsTest, TheEnginesVerdictPutsItsErrorFirstAndEndsTheList) {
    Desk.Engine.Deferred = true;
    Desk.Engine.Verdict = {TEngineVerdict::evError, TEnginePlace{1, 0}, ""};
    Editor->GetLines().SetTextStr("Dim a\r\nNext\r\n");
    Press("F7");
    EXPECT_EQ(Desk.Engine.Scripts, std::vector<std::string>{"Dim a\r\nNext\r\n"});
    EXPECT_EQ(View.Results, std::vector<std::string>{"[0002] : Next に対応する For がありません"})
        << "the own problems at once, the summary with the verdict";
    Desk.Engine.Deliver();
    Form->AppIdle();
    EXPECT_EQ(View.Results, (std::vector<std::string>{
                                "[0002] : (エンジン) Next に対応する For がありません",
                                "[0002] : Next に対応する For がありません", "> [2]件の問題"}));

    Press("F7");
    Press("F2");
    Desk.Engine.Deliver();
    EXPECT_EQ(View.Results, (std::vector<std::string>{"> [0]件"}))
        << "a verdict for a list that another has replaced is dropped";
}

TEST_F(StructureCommandsTest, F2ListsTheDefinitionsAndJumpsToThem) {
    Editor->GetLines().SetTextStr("Class C\r\n\tPublic Sub \x82\xa0\r\n\tEnd Sub\r\nEnd Class\r\n"
                                  "' Sub x\r\nFunction f()\r\nEnd Function\r\n");
    Press("F2");
    EXPECT_EQ(View.Results,
              (std::vector<std::string>{"[0001] : Class C", "[0002] :   Public Sub <82><A0>",
                                        "[0006] : Function f()", "> [3]件"}));
    EXPECT_EQ(JumpFrom(2), 5);
}

} // namespace
} // namespace kst
