#include "keystroke_script.h"

#include "app/main_window_editor.h"
#include "core/code_page.h"
#include "core/messages.h"
#include "document/wrap_option.h"
#include "platform/clipboard.h"

#include <array>
#include <charconv>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <utility>
#include <vector>

namespace kst {

// The clipboard of a script: one text, maybe marked as a rectangle.
class ScriptClipboard : public Clipboard {
public:
    void SetText(std::string_view NewText, bool NewBox) override {
        Text = std::string(NewText);
        Box = NewBox;
    }
    std::optional<std::string> GetText() override { return Text; }
    bool HasText() const override { return Text.has_value(); }
    bool HasBoxText() const override { return Text.has_value() && Box; }

    std::optional<std::string> Text;
    bool Box = false;
};

namespace {

constexpr std::intptr_t kFirstKeyDown = 1;
constexpr std::intptr_t kRepeatedKeyDown = (std::intptr_t{1} << 30) | 1;
constexpr std::intptr_t kKeyUp = static_cast<std::intptr_t>(0xC0000001U);

// The characters scripts may write as themselves, with their CP932 bytes.
const std::array<std::pair<std::string_view, std::string_view>, 7> kNamedCharacters{{
    {"あ", "\x82\xa0"},
    {"い", "\x82\xa2"},
    {"う", "\x82\xa4"},
    {"漢", "\x8a\xbf"},
    {"漾", "\xe0\x40"},
    {"ｱ", "\xb1"},
    {"\xe3\x80\x80", "\x81\x40"}, // the full-width space
}};

struct MarkedText {
    std::string Bytes;
    std::optional<int> Caret;
    std::optional<int> Anchor;
};

int HexDigit(char C) {
    if (C >= '0' && C <= '9') {
        return C - '0';
    }
    if (C >= 'a' && C <= 'f') {
        return C - 'a' + 10;
    }
    if (C >= 'A' && C <= 'F') {
        return C - 'A' + 10;
    }
    throw std::invalid_argument("bad hex digit in \\x escape");
}

// One escape after a backslash at Text[Pos]; advances Pos past it.
std::string DecodeEscape(std::string_view Text, std::size_t& Pos) {
    if (Pos + 1 >= Text.size()) {
        throw std::invalid_argument("backslash at the end of a string");
    }
    const char kind = Text[Pos + 1];
    Pos += 2;
    switch (kind) {
    case 'n':
        return "\r\n";
    case 't':
        return "\t";
    case 'x': {
        if (Pos + 2 > Text.size()) {
            throw std::invalid_argument("\\x needs two hex digits");
        }
        const char byte = static_cast<char>(HexDigit(Text[Pos]) * 16 + HexDigit(Text[Pos + 1]));
        Pos += 2;
        return std::string(1, byte);
    }
    case '\\':
    case '"':
    case '|':
    case '^':
        return std::string(1, kind);
    default:
        throw std::invalid_argument(std::string("unknown escape \\") + kind);
    }
}

std::optional<std::string_view> NamedCharacterAt(std::string_view Text, std::size_t Pos) {
    for (const auto& [name, bytes] : kNamedCharacters) {
        if (Text.substr(Pos, name.size()) == name) {
            return name;
        }
    }
    return std::nullopt;
}

std::string_view BytesOfName(std::string_view Name) {
    for (const auto& [name, bytes] : kNamedCharacters) {
        if (name == Name) {
            return bytes;
        }
    }
    return {};
}

// Script notation to bytes; with Marks, | and ^ give the caret and anchor offsets.
MarkedText Decode(std::string_view Text, bool Marks) {
    MarkedText result;
    std::size_t pos = 0;
    while (pos < Text.size()) {
        const char c = Text[pos];
        if (c == '\\') {
            result.Bytes += DecodeEscape(Text, pos);
        } else if (Marks && (c == '|' || c == '^')) {
            (c == '|' ? result.Caret : result.Anchor) = static_cast<int>(result.Bytes.size());
            ++pos;
        } else if (const auto name = NamedCharacterAt(Text, pos)) {
            result.Bytes += BytesOfName(*name);
            pos += name->size();
        } else if (static_cast<unsigned char>(c) >= 0x80) {
            throw std::invalid_argument("write other non-ASCII characters as \\x escapes");
        } else {
            result.Bytes += c;
            ++pos;
        }
    }
    return result;
}

std::string NameOfBytes(std::string_view Bytes) {
    for (const auto& [name, bytes] : kNamedCharacters) {
        if (bytes == Bytes) {
            return std::string(name);
        }
    }
    std::string escaped;
    for (const char b : Bytes) {
        static constexpr char kHex[] = "0123456789abcdef";
        const auto u = static_cast<unsigned char>(b);
        escaped += std::string("\\x") + kHex[u >> 4] + kHex[u & 15];
    }
    return escaped;
}

std::string CharacterToScript(std::string_view Char) {
    if (Char.size() == 1) {
        switch (Char[0]) {
        case '\t':
            return "\\t";
        case '\\':
        case '"':
        case '|':
        case '^':
            return std::string("\\") + Char[0];
        default:
            break;
        }
        const auto u = static_cast<unsigned char>(Char[0]);
        if (u >= 0x20 && u < 0x7F) {
            return std::string(Char);
        }
    }
    return NameOfBytes(Char);
}

std::string RenderMarked(std::string_view Bytes, std::optional<int> Caret,
                         std::optional<int> Anchor) {
    std::string out;
    const auto marksAt = [&](std::size_t pos) {
        if (Anchor && static_cast<std::size_t>(*Anchor) == pos) {
            out += '^';
        }
        if (Caret && static_cast<std::size_t>(*Caret) == pos) {
            out += '|';
        }
    };
    std::size_t pos = 0;
    while (pos < Bytes.size()) {
        marksAt(pos);
        if (Bytes.substr(pos, 2) == "\r\n") {
            out += "\\n";
            pos += 2;
            continue;
        }
        const std::size_t length = CharLengthAt(Bytes, pos);
        out += CharacterToScript(Bytes.substr(pos, length));
        pos += length;
    }
    marksAt(Bytes.size());
    return out;
}

std::string_view Trim(std::string_view Text) {
    const auto first = Text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = Text.find_last_not_of(" \t\r");
    return Text.substr(first, last - first + 1);
}

// The body of a quoted string starting at Text[Pos] (a double quote); Pos ends after it.
std::string_view QuotedAt(std::string_view Text, std::size_t& Pos) {
    if (Pos >= Text.size() || Text[Pos] != '"') {
        throw std::invalid_argument("a quoted string was expected");
    }
    std::size_t end = Pos + 1;
    while (end < Text.size() && Text[end] != '"') {
        end += Text[end] == '\\' ? 2 : 1;
    }
    if (end >= Text.size()) {
        throw std::invalid_argument("unterminated string");
    }
    const std::string_view body = Text.substr(Pos + 1, end - Pos - 1);
    Pos = end + 1;
    return body;
}

std::string_view OnlyQuoted(std::string_view Text) {
    std::size_t pos = 0;
    const std::string_view body = QuotedAt(Text, pos);
    if (!Trim(Text.substr(pos)).empty()) {
        throw std::invalid_argument("text after the string");
    }
    return body;
}

int ToInt(std::string_view Text) {
    int value = 0;
    const auto [end, error] = std::from_chars(Text.data(), Text.data() + Text.size(), value);
    if (error != std::errc() || end != Text.data() + Text.size()) {
        throw std::invalid_argument("not a number: " + std::string(Text));
    }
    return value;
}

std::pair<int, int> ToPosition(std::string_view Text) {
    const auto comma = Text.find(',');
    if (comma == std::string_view::npos) {
        throw std::invalid_argument("a position is written R,C");
    }
    return {ToInt(Trim(Text.substr(0, comma))), ToInt(Trim(Text.substr(comma + 1)))};
}

std::vector<std::string_view> Words(std::string_view Text) {
    std::vector<std::string_view> words;
    std::size_t pos = 0;
    while (pos < Text.size()) {
        const auto start = Text.find_first_not_of(' ', pos);
        if (start == std::string_view::npos) {
            break;
        }
        pos = std::min(Text.find(' ', start), Text.size());
        words.push_back(Text.substr(start, pos - start));
    }
    return words;
}

using OptionSetter = std::function<void(KeystrokeDriver&, int)>;

const std::map<std::string_view, OptionSetter>& Options() {
    static const std::map<std::string_view, OptionSetter> options{
        {"FreeCaret", [](auto& d, int v) { d.Editor().GetCaret().SetFreeCaret(v != 0); }},
        {"FreeRow", [](auto& d, int v) { d.Editor().GetCaret().SetFreeRow(v != 0); }},
        {"KeepCaret", [](auto& d, int v) { d.Editor().GetCaret().SetKeepCaret(v != 0); }},
        {"InTab", [](auto& d, int v) { d.Editor().GetCaret().SetInTab(v != 0); }},
        {"NextLine", [](auto& d, int v) { d.Editor().GetCaret().SetNextLine(v != 0); }},
        {"AutoIndent", [](auto& d, int v) { d.Editor().GetCaret().SetAutoIndent(v != 0); }},
        {"TabIndent", [](auto& d, int v) { d.Editor().GetCaret().SetTabIndent(v != 0); }},
        {"BackSpaceUnIndent",
         [](auto& d, int v) { d.Editor().GetCaret().SetBackSpaceUnIndent(v != 0); }},
        {"SoftTab", [](auto& d, int v) { d.Editor().GetCaret().SetSoftTab(v != 0); }},
        {"PrevSpaceIndent",
         [](auto& d, int v) { d.Editor().GetCaret().SetPrevSpaceIndent(v != 0); }},
        {"TokenEndStop", [](auto& d, int v) { d.Editor().GetCaret().SetTokenEndStop(v != 0); }},
        {"LockScroll", [](auto& d, int v) { d.Editor().GetCaret().SetLockScroll(v != 0); }},
        {"TabSpaceCount", [](auto& d, int v) { d.Editor().GetCaret().SetTabSpaceCount(v); }},
        {"WordWrap", [](auto& d, int v) { d.Editor().SetWordWrap(v != 0); }},
        {"WrapByte", [](auto& d, int v) { d.Editor().GetWrapOption().SetWrapByte(v); }},
        {"ReadOnly", [](auto& d, int v) { d.Editor().SetReadOnly(v != 0); }},
        {"WantTabs", [](auto& d, int v) { d.Editor().SetWantTabs(v != 0); }},
        {"BoxSelection", [](auto& d, int v) { d.Editor().SetBoxSelection(v != 0); }},
        {"Rows", [](auto& d, int v) { d.SetVisibleRows(v); }},
        {"CaretVerticalAc", [](auto& d, int v) { d.Editor().GetSpeed().SetCaretVerticalAc(v); }},
        {"PageVerticalRange",
         [](auto& d, int v) { d.Editor().GetSpeed().SetPageVerticalRange(v); }},
        {"PageVerticalRangeAc",
         [](auto& d, int v) { d.Editor().GetSpeed().SetPageVerticalRangeAc(v); }},
    };
    return options;
}

// A named key: its virtual key and the character it produces (0: none).
std::pair<std::uint16_t, char> KeyOfName(std::string_view Name, TShiftState Shift) {
    static const std::map<std::string_view, std::pair<std::uint16_t, char>> keys{
        {"Left", {VK_LEFT, 0}},    {"Right", {VK_RIGHT, 0}},   {"Up", {VK_UP, 0}},
        {"Down", {VK_DOWN, 0}},    {"Home", {VK_HOME, 0}},     {"End", {VK_END, 0}},
        {"PageUp", {VK_PRIOR, 0}}, {"PageDown", {VK_NEXT, 0}}, {"Del", {VK_DELETE, 0}},
        {"BS", {VK_BACK, 8}},      {"Tab", {VK_TAB, 9}},       {"Enter", {VK_RETURN, 13}},
        {"Esc", {VK_ESCAPE, 27}},
    };
    if (const auto found = keys.find(Name); found != keys.end()) {
        return found->second;
    }
    if (Name.size() == 1 && Name[0] >= 'A' && Name[0] <= 'Z') {
        const char control = (Shift & ssCtrl) != 0 ? static_cast<char>(Name[0] & 0x1F) : 0;
        return {static_cast<std::uint16_t>(Name[0]), control};
    }
    if (Name.size() == 1 && Name[0] >= '0' && Name[0] <= '9') {
        return {static_cast<std::uint16_t>(Name[0]), 0};
    }
    throw std::invalid_argument("unknown key " + std::string(Name));
}

TShiftState ModifierOfName(std::string_view Name) {
    if (Name == "Shift") {
        return ssShift;
    }
    if (Name == "Ctrl") {
        return ssCtrl;
    }
    if (Name == "Alt") {
        return ssAlt;
    }
    throw std::invalid_argument("unknown modifier " + std::string(Name));
}

// "Shift+Ctrl+Left*3", "Down@4".
void PressNamedKey(KeystrokeDriver& Driver, std::string_view Token) {
    TShiftState shift = 0;
    for (auto plus = Token.find('+'); plus != std::string_view::npos; plus = Token.find('+')) {
        shift |= ModifierOfName(Token.substr(0, plus));
        Token.remove_prefix(plus + 1);
    }
    int presses = 1;
    int repeats = 1;
    if (const auto mark = Token.find_first_of("*@"); mark != std::string_view::npos) {
        (Token[mark] == '*' ? presses : repeats) = ToInt(Token.substr(mark + 1));
        Token = Token.substr(0, mark);
    }
    const auto [key, character] = KeyOfName(Token, shift);
    for (int i = 0; i < presses; ++i) {
        Driver.PressKey(key, shift, character, repeats);
    }
}

// "Shift+Click(0,3>)", "Drag(0,1-0,4)".
void RunMouseAction(KeystrokeDriver& Driver, std::string_view Token) {
    TShiftState shift = 0;
    const auto open = Token.find('(');
    for (auto plus = Token.find('+'); plus < open; plus = Token.find('+')) {
        shift |= ModifierOfName(Token.substr(0, plus));
        Token.remove_prefix(plus + 1);
    }
    const std::string_view action = Token.substr(0, Token.find('('));
    const std::string_view points =
        Token.substr(action.size() + 1, Token.size() - action.size() - 2);
    if (action == "Drag") {
        const auto dash = points.find('-');
        const TPoint from = Driver.PointOf(points.substr(0, dash));
        const TPoint to = Driver.PointOf(points.substr(dash + 1));
        Driver.Mouse(WM_LBUTTONDOWN, from, shift);
        Driver.Mouse(WM_MOUSEMOVE, to, shift);
        Driver.Mouse(WM_MOUSEMOVE, to, shift);
        Driver.Mouse(WM_LBUTTONUP, to, shift);
        return;
    }
    const TPoint point = Driver.PointOf(points);
    if (action == "Press" || action == "Click") {
        Driver.Mouse(WM_LBUTTONDOWN, point, shift);
    }
    if (action == "Move") {
        Driver.Mouse(WM_MOUSEMOVE, point, shift);
    }
    if (action == "DblClick") {
        Driver.Mouse(WM_LBUTTONDBLCLK, point, shift);
    }
    if (action == "Release" || action == "Click" || action == "DblClick") {
        Driver.Mouse(WM_LBUTTONUP, point, shift);
    }
}

void RunKeys(KeystrokeDriver& Driver, std::string_view Keys) {
    std::size_t pos = 0;
    while ((pos = Keys.find_first_not_of(' ', pos)) != std::string_view::npos) {
        if (Keys[pos] == '"') {
            Driver.Type(Decode(QuotedAt(Keys, pos), false).Bytes);
        } else if (Keys.substr(pos, 4) == "Raw\"") {
            pos += 3;
            Driver.TypeRawBytes(Decode(QuotedAt(Keys, pos), false).Bytes);
        } else if (Keys.substr(pos, 4) == "Ime\"") {
            pos += 3;
            Driver.ImeResult(Decode(QuotedAt(Keys, pos), false).Bytes);
        } else {
            const auto end = std::min(Keys.find(' ', pos), Keys.size());
            const std::string_view token = Keys.substr(pos, end - pos);
            if (token.find('(') != std::string_view::npos) {
                RunMouseAction(Driver, token);
            } else {
                PressNamedKey(Driver, token);
            }
            pos = end;
        }
    }
}

void SetMarkedText(KeystrokeDriver& Driver, const MarkedText& Text) {
    TEditor& editor = Driver.Editor();
    editor.GetLines().SetTextStr(Text.Bytes);
    if (Text.Anchor) {
        editor.SetCaretByOffset(0, *Text.Anchor);
        editor.StartSelection();
    }
    editor.SetCaretByOffset(0, Text.Caret.value_or(0));
    if (Text.Anchor) {
        editor.ExtendSelection();
    }
}

void Select(KeystrokeDriver& Driver, std::string_view Positions) {
    const std::vector<std::string_view> ends = Words(Positions);
    if (ends.size() != 2) {
        throw std::invalid_argument("select needs two positions");
    }
    TEditor& editor = Driver.Editor();
    const auto [fromRow, fromCol] = ToPosition(ends[0]);
    const auto [toRow, toCol] = ToPosition(ends[1]);
    editor.SetRowCol(fromRow, fromCol);
    editor.StartSelection();
    editor.SetRowCol(toRow, toCol);
    editor.ExtendSelection();
}

void SetOptions(KeystrokeDriver& Driver, std::string_view Settings) {
    for (const std::string_view setting : Words(Settings)) {
        const auto equals = setting.find('=');
        if (equals == std::string_view::npos ||
            !Driver.SetOption(setting.substr(0, equals), ToInt(setting.substr(equals + 1)))) {
            throw std::invalid_argument("bad option " + std::string(setting));
        }
    }
}

// Runs one directive; an expectation that fails gives its message.
std::optional<std::string> RunDirective(KeystrokeDriver& Driver, std::string_view Name,
                                        std::string_view Argument) {
    TEditor& editor = Driver.Editor();
    if (Name == "options") {
        SetOptions(Driver, Argument);
    } else if (Name == "text") {
        SetMarkedText(Driver, Decode(OnlyQuoted(Argument), true));
    } else if (Name == "goto") {
        const auto [row, col] = ToPosition(Argument);
        editor.SetRowCol(row, col);
    } else if (Name == "select") {
        Select(Driver, Argument);
    } else if (Name == "top") {
        editor.SetTopRow(ToInt(Argument));
    } else if (Name == "clipboard" || Name == "boxclipboard") {
        Driver.SetClipboard(Decode(OnlyQuoted(Argument), false).Bytes, Name == "boxclipboard");
    } else if (Name == "keys") {
        RunKeys(Driver, Argument);
    } else if (Name == "expect") {
        const MarkedText expected = Decode(OnlyQuoted(Argument), true);
        const std::string wanted = RenderMarked(expected.Bytes, expected.Caret, expected.Anchor);
        const std::string actual = Driver.Render();
        if (wanted != actual) {
            return "expected \"" + wanted + "\"\n    actual \"" + actual + "\"";
        }
    } else if (Name == "caret") {
        const auto wanted = ToPosition(Argument);
        const std::pair actual{editor.GetRow(), editor.GetCol()};
        if (wanted != actual) {
            return "caret expected at " + std::to_string(wanted.first) + "," +
                   std::to_string(wanted.second) + ", actual " + std::to_string(actual.first) +
                   "," + std::to_string(actual.second);
        }
    } else if (Name == "expecttop") {
        if (ToInt(Argument) != editor.GetTopRow()) {
            return "top row expected " + std::string(Argument) + ", actual " +
                   std::to_string(editor.GetTopRow());
        }
    } else {
        throw std::invalid_argument("unknown directive " + std::string(Name));
    }
    return std::nullopt;
}

} // namespace

std::string BytesToScriptText(std::string_view Bytes) {
    return RenderMarked(Bytes, std::nullopt, std::nullopt);
}

// KeystrokeDriver

KeystrokeDriver::KeystrokeDriver()
    : FClipboard(std::make_unique<ScriptClipboard>()), FEditor(CreateComponent<TEditor>(nullptr)) {
    TEditor& editor = *FEditor;
    editor.SetHost(&FHost);
    editor.SetClipboard(FClipboard.get());
    editor.BeginLoading();
    ApplyMainWindowViewSettings({editor.GetCaret(), editor.GetMargin(), editor.GetMarks(),
                                 editor.GetView(), editor.GetRuler(), editor.GetLeftbar(),
                                 editor.GetImagebar(), editor.GetSpeed()});
    ApplyMainWindowWrapOptions(editor.GetWrapOption());
    editor.Loaded();
    FHost.HasFocus = true;
    Send(WM_SETFOCUS, 0, 0);
}

KeystrokeDriver::~KeystrokeDriver() = default;

bool KeystrokeDriver::SetOption(std::string_view Name, int Value) {
    const auto found = Options().find(Name);
    if (found == Options().end()) {
        return false;
    }
    found->second(*this, Value);
    return true;
}

void KeystrokeDriver::SetVisibleRows(int Rows) {
    FHost.Client.Height = FEditor->GetTextTop() + 5 + Rows * FEditor->GetRowHeight();
    Send(WM_SIZE, 0, 0);
}

void KeystrokeDriver::SetClipboard(std::string_view Text, bool Box) {
    FClipboard->SetText(Text, Box);
}

void KeystrokeDriver::Send(unsigned Msg, std::uintptr_t WParam, std::intptr_t LParam) {
    FEditor->WndProc(Msg, WParam, LParam);
}

void KeystrokeDriver::PressKey(std::uint16_t Key, TShiftState Shift, char Char, int Repeats) {
    const std::array<std::pair<TShiftState, int>, 3> modifiers{
        {{ssShift, VK_SHIFT}, {ssCtrl, VK_CONTROL}, {ssAlt, VK_MENU}}};
    for (const auto& [state, key] : modifiers) {
        if ((Shift & state) != 0) {
            FHost.KeysDown.insert(key);
        }
    }
    for (int i = 0; i < Repeats; ++i) {
        Send(WM_KEYDOWN, Key, i == 0 ? kFirstKeyDown : kRepeatedKeyDown);
        if (Char != 0) {
            FHost.PendingChars.push_back(static_cast<unsigned char>(Char));
            DeliverQueuedCharacters();
        }
    }
    Send(WM_KEYUP, Key, kKeyUp);
    for (const auto& [state, key] : modifiers) {
        FHost.KeysDown.erase(key);
    }
}

void KeystrokeDriver::Mouse(unsigned Msg, TPoint Point, TShiftState Shift) {
    FHost.Pointer = Point;
    const bool buttonDown = Msg == WM_LBUTTONDOWN || Msg == WM_LBUTTONDBLCLK ||
                            (Msg == WM_MOUSEMOVE && FHost.KeysDown.contains(VK_LBUTTON));
    FHost.KeysDown.erase(VK_LBUTTON);
    FHost.KeysDown.erase(VK_SHIFT);
    FHost.KeysDown.erase(VK_CONTROL);
    if (buttonDown) {
        FHost.KeysDown.insert(VK_LBUTTON);
    }
    std::uintptr_t keys = buttonDown ? MK_LBUTTON : 0;
    if ((Shift & ssShift) != 0) {
        FHost.KeysDown.insert(VK_SHIFT);
        keys |= MK_SHIFT;
    }
    if ((Shift & ssCtrl) != 0) {
        FHost.KeysDown.insert(VK_CONTROL);
        keys |= MK_CONTROL;
    }
    Send(Msg, keys, MakeLong(static_cast<unsigned>(Point.X), static_cast<unsigned>(Point.Y)));
}

TPoint KeystrokeDriver::PointOf(std::string_view Point) const {
    const TEditor& editor = *FEditor;
    const auto middleOf = [&editor](int Row) {
        return editor.RowTop(Row) + editor.GetRowHeight() / 2;
    };
    if (Point.starts_with("bar:")) {
        return {1, middleOf(ToInt(Point.substr(4)))};
    }
    if (Point.starts_with("px:")) {
        const auto [x, y] = ToPosition(Point.substr(3));
        return {x, y};
    }
    const bool rightHalf = Point.ends_with('>');
    const auto [row, col] = ToPosition(rightHalf ? Point.substr(0, Point.size() - 1) : Point);
    const int left = editor.ColumnLeft(col);
    return {rightHalf ? left + editor.GetCharWidth() - 2 : left + 1, middleOf(row)};
}

// As the window layer does: the bytes of one character are queued, and each byte the editor has
// not taken itself arrives as a character message.
void KeystrokeDriver::DeliverQueuedCharacters() {
    while (!FHost.PendingChars.empty()) {
        const std::uint16_t byte = FHost.PendingChars.front();
        FHost.PendingChars.pop_front();
        Send(WM_CHAR, byte, 1);
    }
}

void KeystrokeDriver::Type(std::string_view Text) {
    std::size_t pos = 0;
    while (pos < Text.size()) {
        const std::size_t length = CharLengthAt(Text, pos);
        for (const char byte : Text.substr(pos, length)) {
            FHost.PendingChars.push_back(static_cast<unsigned char>(byte));
        }
        DeliverQueuedCharacters();
        pos += length;
    }
}

void KeystrokeDriver::TypeRawBytes(std::string_view Bytes) {
    for (const char byte : Bytes) {
        Send(WM_CHAR, static_cast<unsigned char>(byte), 1);
    }
}

void KeystrokeDriver::ImeResult(std::string_view Text) {
    FHost.ImeResult = std::string(Text);
    Send(WM_IME_COMPOSITION, 0, GCS_RESULTSTR);
    FHost.ImeResult.clear();
    Type(Text);
}

int KeystrokeDriver::OffsetOf(int Row, int Col) const {
    const TEditor& editor = *FEditor;
    const TEditorScreenStrings& rows = *editor.GetScreenStringsPtr();
    const int length = Row < rows.GetCount() ? static_cast<int>(rows.GetView(Row).size()) : 0;
    const int rowStart = editor.OffsetFromRow(0, Row, 0);
    return std::min(editor.OffsetFromRow(0, Row, Col), rowStart + length);
}

int KeystrokeDriver::CaretOffset() const {
    return OffsetOf(FEditor->GetRow(), FEditor->GetCol());
}

// The anchor is the selection's other end; for a box, the corner opposite the caret.
std::optional<int> KeystrokeDriver::AnchorOffset() const {
    const TEditor& editor = *FEditor;
    if (editor.GetSelectionState() != kSelectionSelected) {
        return std::nullopt;
    }
    const TSelectionRange& range = editor.GetSelection();
    if (editor.GetBoxSelection()) {
        const int row = editor.GetRow() == range.StartRow ? range.EndRow : range.StartRow;
        const int col = editor.GetCol() == range.StartCol ? range.EndCol : range.StartCol;
        return OffsetOf(row, col);
    }
    const int start = editor.GetSelStart();
    return CaretOffset() == start ? start + editor.GetSelLength() : start;
}

std::string KeystrokeDriver::Render() const {
    return RenderMarked(FEditor->GetLines().GetTextStr(), CaretOffset(), AnchorOffset());
}

::testing::AssertionResult RunKeystrokeScript(std::string_view Script) {
    KeystrokeDriver driver;
    std::istringstream lines{std::string(Script)};
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        const std::string_view text = Trim(line);
        if (text.empty() || text.front() == '#') {
            continue;
        }
        const auto colon = text.find(':');
        try {
            if (colon == std::string_view::npos) {
                throw std::invalid_argument("a directive is written name: argument");
            }
            if (const auto failure =
                    RunDirective(driver, text.substr(0, colon), Trim(text.substr(colon + 1)))) {
                return ::testing::AssertionFailure()
                       << "line " << number << " (" << text << "):\n    " << *failure;
            }
        } catch (const std::exception& error) {
            return ::testing::AssertionFailure()
                   << "line " << number << " (" << text << "): " << error.what();
        }
    }
    return ::testing::AssertionSuccess();
}

} // namespace kst
