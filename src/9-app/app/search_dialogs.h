// The logic of the search, replace and go-to-line dialogs (TfrmSearch, TfrmReplace, TfrmGoLine).
// The Windows layer shows the controls, passes the user's input to these models and shows what
// they hold. Words are CP932, as the text they are searched in.
#pragma once

#include "app/folder_search.h"

#include <string>
#include <string_view>
#include <vector>

namespace kst {

class Desktop;

// What the search and replace dialogs share: the word box with the history as its list, the
// match-case box and the regular-expression box.
class TSearchWordBox {
public:
    static constexpr std::string_view WordLabel = "検索文字列：";
    static constexpr std::string_view CaseCheck = "大文字・小文字を区別する";
    static constexpr std::string_view RegexCheck = "正規表現(&X)";
    static constexpr std::string_view CancelButton = "キャンセル";

    TSearchWordBox(std::vector<std::string> History, bool MatchCase, std::string Word)
        : FItems(std::move(History)), FWord(std::move(Word)), FMatchCase(MatchCase) {}

    // cbWord's list.
    const std::vector<std::string>& Items() const { return FItems; }
    // cbWord's text.
    const std::string& Word() const { return FWord; }
    void SetWord(std::string Value) { FWord = std::move(Value); }
    bool MatchCase() const { return FMatchCase; }
    void SetMatchCase(bool Value) { FMatchCase = Value; }
    // The word is a regular expression.
    bool Regex() const { return FRegex; }
    void SetRegex(bool Value) { FRegex = Value; }
    // The buttons that search or replace are enabled while the word box holds text.
    bool SearchEnabled() const { return !FWord.empty(); }

private:
    std::vector<std::string> FItems;
    std::string FWord;
    bool FMatchCase;
    bool FRegex = false;
};

class TfrmSearch : public TSearchWordBox {
public:
    static constexpr std::string_view Caption = "検索";
    static constexpr std::string_view OkButton = "検索";

    using TSearchWordBox::TSearchWordBox;
};

class TfrmReplace : public TSearchWordBox {
public:
    static constexpr std::string_view Caption = "置換";
    static constexpr std::string_view ReplaceLabel = "置換文字列：";
    static constexpr std::string_view SearchGroup = "検索オプション";
    static constexpr std::string_view AnswerGroup = "確認オプション";
    static constexpr std::string_view AnswerCheck = "置換の時、確認する";
    static constexpr std::string_view OkButton = "置換";
    static constexpr std::string_view AllOkButton = "全置換";

    using TSearchWordBox::TSearchWordBox;

    // edtReplaceText's text.
    const std::string& ReplaceWith() const { return FReplaceWith; }
    void SetReplaceWith(std::string Value) { FReplaceWith = std::move(Value); }
    // ckAnswer, ticked when the dialog opens.
    bool Answer() const { return FAnswer; }
    void SetAnswer(bool Value) { FAnswer = Value; }
    // Set by the button that closed the dialog: "全置換" or "置換".
    bool ReplaceAll() const { return FReplaceAll; }
    void SetReplaceAll(bool Value) { FReplaceAll = Value; }

private:
    std::string FReplaceWith;
    bool FAnswer = true;
    bool FReplaceAll = false;
};

// The folder search's dialog: the word and its options, where to look, and which files.
class TfrmFolderSearch : public TSearchWordBox {
public:
    static constexpr std::string_view Caption = "フォルダから検索";
    static constexpr std::string_view FolderLabel = "フォルダ：";
    static constexpr std::string_view BrowseButton = "...";
    static constexpr std::string_view FilesLabel = "ファイル名：";
    static constexpr std::string_view SubfoldersCheck = "下位フォルダも検索";
    static constexpr std::string_view OkButton = "検索";

    TfrmFolderSearch(Desktop& Desk, std::vector<std::string> History, bool MatchCase,
                     std::string Word, TFolderSearchScope Scope)
        : TSearchWordBox(std::move(History), MatchCase, std::move(Word)), FDesktop(Desk),
          FScope(std::move(Scope)) {}

    const TFolderSearchScope& Scope() const { return FScope; }
    void SetFolder(std::string Value) { FScope.Folder = std::move(Value); }
    void SetFileNames(std::string Value) { FScope.FileNames = std::move(Value); }
    void SetSubfolders(bool Value) { FScope.Subfolders = Value; }
    // "...": the shell's folder browser; a chosen folder goes into the folder box.
    void BrowseFolder();

private:
    Desktop& FDesktop;
    TFolderSearchScope FScope;
};

class TfrmGoLine {
public:
    static constexpr std::string_view Caption = "指定行へジャンプ";
    static constexpr std::string_view OkButton = "OK";

    // edtLine's text.
    const std::string& LineText() const { return FLineText; }
    void SetLineText(std::string Value) { FLineText = std::move(Value); }
    // "OK" (or Enter in the box): the number of the box's digits, -1 without any. Raises
    // EConvertError, keeping the dialog open, when they exceed a 32-bit integer.
    void Accept();
    int LineNumber() const { return FLineNumber; }

private:
    std::string FLineText;
    int FLineNumber = -1;
};

} // namespace kst
