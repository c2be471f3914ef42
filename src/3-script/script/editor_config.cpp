#include "script/editor_config.h"

#include "core/code_page.h"
#include "core/errors.h"
#include "platform/files.h"
#include "script/script_text.h"

#include <boost/regex.hpp>
#include <charconv>
#include <filesystem>
#include <vector>

namespace kst {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kConfigName = ".editorconfig";
// Longer section names are not globs anyone writes; they match nothing.
constexpr std::size_t kMaxGlobLength = 4096;

std::string Lowered(std::string_view Text) {
    std::string lowered(Text);
    for (char& byte : lowered) {
        byte = LowerAscii(byte);
    }
    return lowered;
}

std::optional<long long> NumberOf(std::string_view Text) {
    if (Text.starts_with('+')) {
        Text.remove_prefix(1);
    }
    long long number = 0;
    const auto [end, error] = std::from_chars(Text.data(), Text.data() + Text.size(), number);
    if (error != std::errc() || end != Text.data() + Text.size()) {
        return std::nullopt;
    }
    return number;
}

// A glob as a regular expression, with the ranges its "{n..m}" groups must fall in, in the order
// of their groups.
class GlobTranslation {
public:
    explicit GlobTranslation(std::string_view Glob) : FGlob(Glob) {
        FPattern = Alternatives(0, FGlob.size());
    }

    const std::string& Pattern() const { return FPattern; }

    bool RangesHold(const boost::smatch& Match) const {
        for (std::size_t i = 0; i < FRanges.size(); ++i) {
            const auto& group = Match[static_cast<int>(i) + 1];
            if (!group.matched) {
                continue;
            }
            const std::optional<long long> number = NumberOf(group.str());
            if (!number || *number < FRanges[i].first || *number > FRanges[i].second) {
                return false;
            }
        }
        return true;
    }

private:
    static std::string Literal(char Byte) {
        static constexpr std::string_view kSpecial = "\\^$.|?*+()[]{}/";
        return kSpecial.find(Byte) == std::string_view::npos ? std::string(1, Byte)
                                                             : std::string{'\\', Byte};
    }

    // The end of the bracket or brace group that opens at Start, or npos when it is not closed.
    std::size_t ClosingOf(std::size_t Start, std::size_t End) const {
        const char opening = FGlob[Start];
        const char closing = opening == '[' ? ']' : '}';
        int depth = 0;
        for (std::size_t i = Start; i < End; ++i) {
            if (FGlob[i] == '\\') {
                ++i;
            } else if (FGlob[i] == opening && (opening == '{' || i == Start)) {
                ++depth;
            } else if (FGlob[i] == closing && --depth == 0) {
                return i;
            }
        }
        return std::string_view::npos;
    }

    // The parts of Begin..End split at the commas outside inner braces.
    std::vector<std::pair<std::size_t, std::size_t>> Parts(std::size_t Begin,
                                                           std::size_t End) const {
        std::vector<std::pair<std::size_t, std::size_t>> parts;
        std::size_t start = Begin;
        int depth = 0;
        for (std::size_t i = Begin; i < End; ++i) {
            const char byte = FGlob[i];
            if (byte == '\\') {
                ++i;
            } else if (byte == '{') {
                ++depth;
            } else if (byte == '}') {
                --depth;
            } else if (byte == ',' && depth == 0) {
                parts.emplace_back(start, i);
                start = i + 1;
            }
        }
        parts.emplace_back(start, End);
        return parts;
    }

    std::string Brace(std::size_t Begin, std::size_t End) {
        const std::string_view inner = FGlob.substr(Begin, End - Begin);
        const std::size_t dots = inner.find("..");
        if (dots != std::string_view::npos) {
            const auto low = NumberOf(inner.substr(0, dots));
            const auto high = NumberOf(inner.substr(dots + 2));
            if (low && high) {
                FRanges.emplace_back(std::min(*low, *high), std::max(*low, *high));
                return "([+-]?[0-9]+)";
            }
        }
        const auto parts = Parts(Begin, End);
        if (parts.size() == 1) {
            return std::string("\\{").append(Alternatives(Begin, End)).append("\\}");
        }
        std::string pattern = "(?:";
        for (const auto& [start, end] : parts) {
            pattern.append(start == Begin ? "" : "|").append(Alternatives(start, end));
        }
        return pattern + ")";
    }

    std::string Bracket(std::size_t Begin, std::size_t End) {
        std::string pattern = "[";
        std::size_t i = Begin;
        if (i < End && FGlob[i] == '!') {
            pattern += '^';
            ++i;
        }
        for (; i < End; ++i) {
            char byte = FGlob[i];
            if (byte == '\\' && i + 1 < End) {
                byte = FGlob[++i];
            }
            pattern += std::string_view("\\[]^").find(byte) == std::string_view::npos
                           ? std::string(1, byte)
                           : std::string{'\\', byte};
        }
        return pattern + "]";
    }

    std::string Alternatives(std::size_t Begin, std::size_t End) {
        std::string pattern;
        for (std::size_t i = Begin; i < End; ++i) {
            const char byte = FGlob[i];
            if (byte == '\\' && i + 1 < End) {
                pattern += Literal(FGlob[++i]);
            } else if (FGlob.substr(i, End - i).starts_with("**/")) {
                // Any folders, none included.
                pattern += "(?:.*/)?";
                i += 2;
            } else if (byte == '*') {
                const bool any = i + 1 < End && FGlob[i + 1] == '*';
                pattern += any ? ".*" : "[^/]*";
                i += any ? 1 : 0;
            } else if (byte == '?') {
                pattern += "[^/]";
            } else if (byte == '[' || byte == '{') {
                const std::size_t closing = ClosingOf(i, End);
                if (closing == std::string_view::npos) {
                    pattern += Literal(byte);
                    continue;
                }
                pattern += byte == '[' ? Bracket(i + 1, closing) : Brace(i + 1, closing);
                i = closing;
            } else {
                pattern += Literal(byte);
            }
        }
        return pattern;
    }

    std::string_view FGlob;
    std::string FPattern;
    std::vector<std::pair<long long, long long>> FRanges;
};

// A glob without "/" is a name in any folder; one with it starts at the file's folder.
std::string Anchored(std::string_view Glob) {
    if (Glob.find('/') == std::string_view::npos) {
        return "**/" + std::string(Glob);
    }
    return std::string(Glob.starts_with('/') ? Glob.substr(1) : Glob);
}

// The properties of one file, as they are written ("unset" included), nearest first.
struct TRawProperties {
    std::optional<std::string> IndentStyle;
    std::optional<std::string> IndentSize;
    std::optional<std::string> TabWidth;
};

void TakeUnset(std::optional<std::string>& Property, std::string_view Value) {
    if (!Property) {
        Property = std::string(Value);
    }
}

void TakeProperty(TRawProperties& Properties, std::string_view Key, std::string_view Value) {
    if (Key == "indent_style") {
        TakeUnset(Properties.IndentStyle, Value);
    } else if (Key == "indent_size") {
        TakeUnset(Properties.IndentSize, Value);
    } else if (Key == "tab_width") {
        TakeUnset(Properties.TabWidth, Value);
    }
}

struct TConfigLine {
    std::string Key;
    std::string Value;
};

// One .editorconfig: its root flag and its sections' properties in order.
struct TConfigFile {
    bool Root = false;
    std::vector<std::pair<std::string, std::vector<TConfigLine>>> Sections;
};

TConfigFile ParseConfig(std::string_view Text) {
    TConfigFile config;
    while (!Text.empty()) {
        const std::size_t lineEnd = Text.find_first_of("\r\n");
        const std::string_view line = TrimBlanks(Text.substr(0, lineEnd));
        Text.remove_prefix(lineEnd == std::string_view::npos ? Text.size() : lineEnd + 1);
        if (line.empty() || line.starts_with('#') || line.starts_with(';')) {
            continue;
        }
        if (line.starts_with('[') && line.ends_with(']')) {
            config.Sections.emplace_back(std::string(line.substr(1, line.size() - 2)),
                                         std::vector<TConfigLine>{});
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            continue;
        }
        const std::string key = Lowered(TrimBlanks(line.substr(0, equals)));
        std::string value = Lowered(TrimBlanks(line.substr(equals + 1)));
        if (config.Sections.empty()) {
            config.Root = config.Root || (key == "root" && value == "true");
        } else {
            config.Sections.back().second.push_back({key, std::move(value)});
        }
    }
    return config;
}

std::optional<int> PositiveOf(const std::optional<std::string>& Value) {
    if (!Value) {
        return std::nullopt;
    }
    const std::optional<long long> number = NumberOf(*Value);
    if (!number || *number < 1 || *number > kMaxIndentSpaces) {
        return std::nullopt;
    }
    return static_cast<int>(*number);
}

TEditorConfigIndent Resolved(const TRawProperties& Properties) {
    TEditorConfigIndent indent;
    if (Properties.IndentStyle == "tab" || Properties.IndentStyle == "space") {
        indent.Tabs = *Properties.IndentStyle == "tab";
    }
    const std::optional<int> size = PositiveOf(Properties.IndentSize);
    indent.TabWidth = PositiveOf(Properties.TabWidth);
    if (!indent.TabWidth) {
        indent.TabWidth = size;
    }
    indent.Size = Properties.IndentSize == "tab" ? indent.TabWidth : size;
    return indent;
}

std::string Generic(const fs::path& Path) {
    const std::u8string text = Path.generic_u8string();
    return std::string(text.begin(), text.end());
}

} // namespace

bool EditorConfigGlobMatches(std::string_view Glob, std::string_view Path) {
    if (Glob.size() > kMaxGlobLength) {
        return false;
    }
    const std::string anchored = Anchored(Glob);
    const GlobTranslation translation(anchored);
    try {
        const boost::regex pattern(translation.Pattern());
        const std::string path(Path);
        boost::smatch match;
        return boost::regex_match(path, match, pattern) && translation.RangesHold(match);
    } catch (const std::exception&) {
        // A pattern the engine refuses, or one too costly to match, matches nothing.
        return false;
    }
}

std::optional<std::string> ReadEditorConfigFile(const std::string& Path) {
    try {
        const FileBytes bytes = ReadWholeFile(Path);
        return std::string(bytes.Data.get(), static_cast<std::size_t>(bytes.Size));
    } catch (const EFileError&) {
        return std::nullopt;
    }
}

TEditorConfigIndent EditorConfigIndentFor(const std::string& ScriptPath,
                                          const ConfigFileReader& Read) {
    const fs::path script =
        fs::absolute(fs::path(std::u8string(ScriptPath.begin(), ScriptPath.end())))
            .lexically_normal();
    const std::string scriptPath = Generic(script);
    TRawProperties properties;
    for (fs::path folder = script.parent_path();; folder = folder.parent_path()) {
        const std::string folderPath = Generic(folder);
        if (const std::optional<std::string> text = Read(Generic(folder / kConfigName))) {
            const TConfigFile config = ParseConfig(*text);
            const std::size_t folderEnd = folderPath.size() + (folderPath.ends_with('/') ? 0 : 1);
            const std::string relative = scriptPath.substr(std::min(scriptPath.size(), folderEnd));
            for (auto section = config.Sections.rbegin(); section != config.Sections.rend();
                 ++section) {
                if (EditorConfigGlobMatches(section->first, relative)) {
                    for (auto line = section->second.rbegin(); line != section->second.rend();
                         ++line) {
                        TakeProperty(properties, line->Key, line->Value);
                    }
                }
            }
            if (config.Root) {
                break;
            }
        }
        if (!folder.has_relative_path()) {
            break;
        }
    }
    return Resolved(properties);
}

TIndentStyle IndentStyleOf(const TEditorConfigIndent& Config, std::optional<TIndentUnit> Chosen,
                           int TabWidth) {
    TIndentStyle style{Chosen, Config.TabWidth.value_or(TabWidth)};
    if (Config.Tabs == true) {
        style.Unit = TIndentUnit{};
    } else if (Config.Tabs == false) {
        style.Unit = TIndentUnit{Config.Size.value_or(style.TabWidth)};
    }
    return style;
}

} // namespace kst
