#include "script/language_catalogue.h"

#include "core/code_page.h"
#include "script/caseless_names.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace kst {

namespace {

constexpr std::uint8_t kMany = 255;

constexpr auto kFunctions = std::to_array<TBuiltinFunction>({
    {"Abs", "number", 1, 1},
    {"Array", "arglist", 0, kMany},
    {"Asc", "string", 1, 1},
    {"AscB", "string", 1, 1},
    {"AscW", "string", 1, 1},
    {"Atn", "number", 1, 1},
    {"CBool", "expression", 1, 1},
    {"CByte", "expression", 1, 1},
    {"CCur", "expression", 1, 1},
    {"CDate", "date", 1, 1},
    {"CDbl", "expression", 1, 1},
    {"Chr", "charcode", 1, 1},
    {"ChrB", "charcode", 1, 1},
    {"ChrW", "charcode", 1, 1},
    {"CInt", "expression", 1, 1},
    {"CLng", "expression", 1, 1},
    {"Cos", "number", 1, 1},
    {"CreateObject", "servername.typename[, location]", 1, 2},
    {"CSng", "expression", 1, 1},
    {"CStr", "expression", 1, 1},
    {"Date", "", 0, 0},
    {"DateAdd", "interval, number, date", 3, 3},
    {"DateDiff", "interval, date1, date2[, firstdayofweek[, firstweekofyear]]", 3, 5},
    {"DatePart", "interval, date[, firstdayofweek[, firstweekofyear]]", 2, 4},
    {"DateSerial", "year, month, day", 3, 3},
    {"DateValue", "date", 1, 1},
    {"Day", "date", 1, 1},
    {"Escape", "string", 1, 1},
    {"Eval", "expression", 1, 1},
    // Statements that run a text as code, called as a Sub is.
    {"Execute", "statement", 1, 1},
    {"ExecuteGlobal", "statement", 1, 1},
    {"Exp", "number", 1, 1},
    {"Filter", "InputStrings, Value[, Include[, Compare]]", 2, 4},
    {"Fix", "number", 1, 1},
    {"FormatCurrency",
     "Expression[, NumDigitsAfterDecimal[, IncludeLeadingDigit[, UseParensForNegativeNumbers[, "
     "GroupDigits]]]]",
     1, 5},
    {"FormatDateTime", "Date[, NamedFormat]", 1, 2},
    {"FormatNumber",
     "Expression[, NumDigitsAfterDecimal[, IncludeLeadingDigit[, UseParensForNegativeNumbers[, "
     "GroupDigits]]]]",
     1, 5},
    {"FormatPercent",
     "Expression[, NumDigitsAfterDecimal[, IncludeLeadingDigit[, UseParensForNegativeNumbers[, "
     "GroupDigits]]]]",
     1, 5},
    {"GetLocale", "", 0, 0},
    {"GetObject", "[pathname][, class]", 0, 2},
    {"GetRef", "procname", 1, 1},
    {"Hex", "number", 1, 1},
    {"Hour", "time", 1, 1},
    {"InputBox", "prompt[, title[, default[, xpos, ypos[, helpfile, context]]]]", 1, 7},
    {"InStr", "[start, ]string1, string2[, compare]", 2, 4},
    {"InStrB", "[start, ]string1, string2[, compare]", 2, 4},
    {"InStrRev", "string1, string2[, start[, compare]]", 2, 4},
    {"Int", "number", 1, 1},
    {"IsArray", "varname", 1, 1},
    {"IsDate", "expression", 1, 1},
    {"IsEmpty", "expression", 1, 1},
    {"IsNull", "expression", 1, 1},
    {"IsNumeric", "expression", 1, 1},
    {"IsObject", "expression", 1, 1},
    {"Join", "list[, delimiter]", 1, 2},
    {"LBound", "arrayname[, dimension]", 1, 2},
    {"LCase", "string", 1, 1},
    {"Left", "string, length", 2, 2},
    {"LeftB", "string, length", 2, 2},
    {"Len", "string | varname", 1, 1},
    {"LenB", "string | varname", 1, 1},
    {"LoadPicture", "picturename", 1, 1},
    {"Log", "number", 1, 1},
    {"LTrim", "string", 1, 1},
    {"Mid", "string, start[, length]", 2, 3},
    {"MidB", "string, start[, length]", 2, 3},
    {"Minute", "time", 1, 1},
    {"Month", "date", 1, 1},
    {"MonthName", "month[, abbreviate]", 1, 2},
    {"MsgBox", "prompt[, buttons[, title[, helpfile, context]]]", 1, 5},
    {"Now", "", 0, 0},
    {"Oct", "number", 1, 1},
    {"Replace", "expression, find, replacewith[, start[, count[, compare]]]", 3, 6},
    {"RGB", "red, green, blue", 3, 3},
    {"Right", "string, length", 2, 2},
    {"RightB", "string, length", 2, 2},
    {"Rnd", "[number]", 0, 1},
    {"Round", "expression[, numdecimalplaces]", 1, 2},
    {"RTrim", "string", 1, 1},
    {"ScriptEngine", "", 0, 0},
    {"ScriptEngineBuildVersion", "", 0, 0},
    {"ScriptEngineMajorVersion", "", 0, 0},
    {"ScriptEngineMinorVersion", "", 0, 0},
    {"Second", "time", 1, 1},
    {"SetLocale", "lcid", 1, 1},
    {"Sgn", "number", 1, 1},
    {"Sin", "number", 1, 1},
    {"Space", "number", 1, 1},
    {"Split", "expression[, delimiter[, count[, compare]]]", 1, 4},
    {"Sqr", "number", 1, 1},
    {"StrComp", "string1, string2[, compare]", 2, 3},
    {"String", "number, character", 2, 2},
    {"StrReverse", "string1", 1, 1},
    {"Tan", "number", 1, 1},
    {"Time", "", 0, 0},
    {"Timer", "", 0, 0},
    {"TimeSerial", "hour, minute, second", 3, 3},
    {"TimeValue", "time", 1, 1},
    {"Trim", "string", 1, 1},
    {"TypeName", "varname", 1, 1},
    {"UBound", "arrayname[, dimension]", 1, 2},
    {"UCase", "string", 1, 1},
    {"Unescape", "string", 1, 1},
    {"VarType", "varname", 1, 1},
    {"Weekday", "date[, firstdayofweek]", 1, 2},
    {"WeekdayName", "weekday[, abbreviate[, firstdayofweek]]", 1, 3},
    {"Year", "date", 1, 1},
});

constexpr auto kConstants = std::to_array<TBuiltinConstant>({
    {"vbAbort", "3"},
    {"vbAbortRetryIgnore", "2"},
    {"vbApplicationModal", "0"},
    {"vbArray", "8192"},
    {"vbBinaryCompare", "0"},
    {"vbBlack", "&h00"},
    {"vbBlue", "&hFF0000"},
    {"vbBoolean", "11"},
    {"vbByte", "17"},
    {"vbCancel", "2"},
    {"vbCr", "Chr(13)"},
    {"vbCritical", "16"},
    {"vbCrLf", "Chr(13) & Chr(10)"},
    {"vbCurrency", "6"},
    {"vbCyan", "&hFFFF00"},
    {"vbDataObject", "13"},
    {"vbDate", "7"},
    {"vbDecimal", "14"},
    {"vbDefaultButton1", "0"},
    {"vbDefaultButton2", "256"},
    {"vbDefaultButton3", "512"},
    {"vbDefaultButton4", "768"},
    {"vbDouble", "5"},
    {"vbEmpty", "0"},
    {"vbError", "10"},
    {"vbExclamation", "48"},
    {"vbFalse", "0"},
    {"vbFirstFourDays", "2"},
    {"vbFirstFullWeek", "3"},
    {"vbFirstJan1", "1"},
    {"vbFormFeed", "Chr(12)"},
    {"vbFriday", "6"},
    {"vbGeneralDate", "0"},
    {"vbGreen", "&h00FF00"},
    {"vbIgnore", "5"},
    {"vbInformation", "64"},
    {"vbInteger", "2"},
    {"vbLf", "Chr(10)"},
    {"vbLong", "3"},
    {"vbLongDate", "1"},
    {"vbLongTime", "3"},
    {"vbMagenta", "&hFF00FF"},
    {"vbMonday", "2"},
    {"vbNewLine", "Chr(13) & Chr(10)"},
    {"vbNo", "7"},
    {"vbNull", "1"},
    {"vbNullChar", "Chr(0)"},
    {"vbNullString", "\"\""},
    {"vbObject", "9"},
    {"vbObjectError", "-2147221504"},
    {"vbOK", "1"},
    {"vbOKCancel", "1"},
    {"vbOKOnly", "0"},
    {"vbQuestion", "32"},
    {"vbRed", "&hFF"},
    {"vbRetry", "4"},
    {"vbRetryCancel", "5"},
    {"vbSaturday", "7"},
    {"vbShortDate", "2"},
    {"vbShortTime", "4"},
    {"vbSingle", "4"},
    {"vbString", "8"},
    {"vbSunday", "1"},
    {"vbSystemModal", "4096"},
    {"vbTab", "Chr(9)"},
    {"vbTextCompare", "1"},
    {"vbThursday", "5"},
    {"vbTrue", "-1"},
    {"vbTuesday", "3"},
    {"vbUseDefault", "-2"},
    {"vbUseSystem", "0"},
    {"vbUseSystemDayOfWeek", "0"},
    {"vbVariant", "12"},
    {"vbVerticalTab", "Chr(11)"},
    {"vbWednesday", "4"},
    {"vbWhite", "&hFFFFFF"},
    {"vbYellow", "&h00FFFF"},
    {"vbYes", "6"},
    {"vbYesNo", "4"},
    {"vbYesNoCancel", "3"},
});

constexpr auto kObjects = std::to_array<TBuiltinObject>({
    {"Err", "the last run-time error"},
    // The Windows Script Host's object, under both of its names.
    {"WScript", "the Windows Script Host"},
    {"WSH", "the Windows Script Host"},
});

using W = TWordId;
constexpr auto kReserved = TKeywordUse::Reserved;
constexpr auto kContextual = TKeywordUse::Contextual;

constexpr auto kKeywords = std::to_array<TKeyword>({
    {"And", W::And, kReserved},
    {"ByRef", W::ByRef, kReserved},
    {"ByVal", W::ByVal, kReserved},
    {"Call", W::Call, kReserved},
    {"Case", W::Case, kReserved},
    {"Class", W::Class, kReserved},
    {"Const", W::Const, kReserved},
    {"Default", W::Default, kContextual},
    {"Dim", W::Dim, kReserved},
    {"Do", W::Do, kReserved},
    {"Each", W::Each, kReserved},
    {"Else", W::Else, kReserved},
    {"ElseIf", W::ElseIf, kReserved},
    {"Empty", W::Empty, kReserved},
    {"End", W::End, kReserved},
    {"Eqv", W::Eqv, kReserved},
    {"Erase", W::Erase, kReserved},
    {"Error", W::Error, kContextual},
    {"Exit", W::Exit, kReserved},
    {"Explicit", W::Explicit, kContextual},
    {"False", W::False, kReserved},
    {"For", W::For, kReserved},
    {"Function", W::Function, kReserved},
    {"Get", W::Get, kContextual},
    {"GoTo", W::GoTo, kContextual},
    {"If", W::If, kReserved},
    {"Imp", W::Imp, kReserved},
    {"In", W::In, kReserved},
    {"Is", W::Is, kReserved},
    {"Let", W::Let, kContextual},
    {"Loop", W::Loop, kReserved},
    {"Me", W::Me, kContextual},
    {"Mod", W::Mod, kReserved},
    {"New", W::New, kReserved},
    {"Next", W::Next, kReserved},
    {"Not", W::Not, kReserved},
    {"Nothing", W::Nothing, kReserved},
    {"Null", W::Null, kReserved},
    {"On", W::On, kReserved},
    {"Option", W::Option, kReserved},
    {"Or", W::Or, kReserved},
    {"Preserve", W::Preserve, kReserved},
    {"Private", W::Private, kReserved},
    {"Property", W::Property, kReserved},
    {"Public", W::Public, kReserved},
    {"Randomize", W::Randomize, kContextual},
    {"ReDim", W::ReDim, kReserved},
    {"Rem", W::Rem, kReserved},
    {"Resume", W::Resume, kContextual},
    {"Select", W::Select, kReserved},
    {"Set", W::Set, kReserved},
    {"Step", W::Step, kContextual},
    {"Stop", W::Stop, kReserved},
    {"Sub", W::Sub, kReserved},
    {"Then", W::Then, kReserved},
    {"To", W::To, kReserved},
    {"True", W::True, kReserved},
    {"Until", W::Until, kReserved},
    {"Wend", W::Wend, kReserved},
    {"While", W::While, kReserved},
    {"With", W::With, kReserved},
    {"Xor", W::Xor, kReserved},
});

constexpr std::size_t kLongestKeyword =
    std::ranges::max_element(kKeywords, {}, [](const TKeyword& Keyword) {
        return Keyword.Name.size();
    })->Name.size();

// The entries of Table by their names, for lookups in any case.
template <class Entry, std::size_t N>
class CaselessIndex {
public:
    explicit CaselessIndex(const std::array<Entry, N>& Table) : FTable(Table) {
        for (std::size_t index = 0; index < N; ++index) {
            FNames.Add(Table[index].Name, static_cast<int>(index));
        }
    }

    const Entry* Find(std::string_view Name) const {
        const int index = FNames.Find(Name);
        return index == CaselessNames::kNone ? nullptr : &FTable[static_cast<std::size_t>(index)];
    }

private:
    const std::array<Entry, N>& FTable;
    CaselessNames FNames;
};

} // namespace

std::span<const TBuiltinFunction> BuiltinFunctions() {
    return kFunctions;
}

std::span<const TBuiltinConstant> BuiltinConstants() {
    return kConstants;
}

std::span<const TBuiltinObject> BuiltinObjects() {
    return kObjects;
}

std::span<const TKeyword> Keywords() {
    return kKeywords;
}

const TBuiltinFunction* FindBuiltinFunction(std::string_view Name) {
    static const CaselessIndex index(kFunctions);
    return index.Find(Name);
}

const TBuiltinConstant* FindBuiltinConstant(std::string_view Name) {
    static const CaselessIndex index(kConstants);
    return index.Find(Name);
}

const TBuiltinObject* FindBuiltinObject(std::string_view Name) {
    static const CaselessIndex index(kObjects);
    return index.Find(Name);
}

// For each letter, a bit for each length of the keywords that begin with it: most names are
// told apart from every keyword by these two alone.
constexpr std::array<std::uint32_t, 26> kKeywordLengths = [] {
    std::array<std::uint32_t, 26> lengths{};
    for (const TKeyword& keyword : kKeywords) {
        lengths[static_cast<std::size_t>(LowerAscii(keyword.Name.front()) - 'a')] |=
            1U << keyword.Name.size();
    }
    return lengths;
}();

bool MayBeKeyword(std::string_view Name) {
    if (Name.empty() || Name.size() > kLongestKeyword) {
        return false;
    }
    const char first = LowerAscii(Name.front());
    return first >= 'a' && first <= 'z' &&
           (kKeywordLengths[static_cast<std::size_t>(first - 'a')] & (1U << Name.size())) != 0;
}

const TKeyword* FindKeyword(std::string_view Name) {
    static const CaselessIndex index(kKeywords);
    return MayBeKeyword(Name) ? index.Find(Name) : nullptr;
}

bool IsReservedWord(std::string_view Name) {
    const TKeyword* keyword = FindKeyword(Name);
    return keyword != nullptr && keyword->Use == TKeywordUse::Reserved;
}

} // namespace kst
