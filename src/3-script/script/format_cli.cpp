#include "script/format_cli.h"

#include "core/errors.h"
#include "kestrane_version.h"
#include "lists/row_text_io.h"
#include "lists/text_encoding.h"
#include "platform/files.h"
#include "script/editor_config.h"
#include "script/formatter.h"
#include "script/name_analysis.h"
#include "script/script_parser.h"
#include "script/unified_diff.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>
#include <utility>

namespace kst {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kProgramName = "kestrane-format";
constexpr std::string_view kStandardInput = "-";
constexpr std::string_view kScriptExtension = ".vbs";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

constexpr std::string_view kHelp[] = {
    "使い方: kestrane-format [--check [--diff] | --syntax [--warnings]] [--indent tab|N]",
    "                        [ファイル | フォルダ | -]...",
    "",
    "VBScript のスクリプトを Kestrane の自動整形処理で整形します。",
    "ファイルはその場で整形し、文字コード (CP932、BOM 付きの UTF-16LE と UTF-8) はそのままに",
    "改行を CR LF にして安全に保存します。",
    "フォルダはその下にある全ての .vbs ファイルを表します。",
    "インデントの単位はファイルごとに .editorconfig (indent_style、indent_size、tab_width) "
    "で決め、",
    "その指定がなければスクリプトで使われている単位 (タブか空白の数) に合わせます。",
    "- を指定するか何も指定しないと、標準入力を整形して標準出力に書き出します。",
    "",
    "  --check    何も変更せず、整形で変わるファイルを一覧にします",
    "  --diff     何も変更せず、整形で変わる内容を diff -u の形で表示します",
    "  --indent tab | --indent N",
    "             インデントをタブ、または空白 N 個 (1～16) にします (.editorconfig より優先)",
    "  --syntax   何も変更せず、構文とブロック構造の問題を Kestrane の構文チェックで調べ、",
    "             パス(行,桁): メッセージ の形で一覧にします",
    "  --warnings --syntax の問題に続けて、名前の警告 (宣言されていない変数、二重の宣言、",
    "             引数の数の違い) を パス(行,桁): 警告: メッセージ の形で一覧にします",
    "             (--syntax を兼ねます)。警告だけでは終了コードは 0 のままです",
    "  --fail-on-warnings  --warnings と同じ一覧で、警告があっても終了コードを 1 にします",
    "  --help     この説明を表示します",
    "  --version  バージョンを表示します",
    "  --         これより後ろは全てファイルまたはフォルダです",
    "",
    "終了コード: 0 成功 (--check では変わるファイルなし、--syntax では問題なし)、",
    "1 --check で変わるファイルあり、--syntax で問題あり、または --fail-on-warnings で警告あり、",
    "2 エラー (読み書きできないファイル、Shift-JIS で表せない文字を含むファイル、",
    "スクリプトのないフォルダ、不正なオプション)",
};

// What the run does with each script.
enum class TRunMode : std::uint8_t { Format, Check, Syntax };

// Which warnings of names --syntax lists, and whether they fail the run.
enum class TWarnings : std::uint8_t { None, Listed, Failing };

struct TOptions {
    TRunMode Mode = TRunMode::Format;
    TWarnings Warnings = TWarnings::None;
    bool Diff = false;
    std::optional<TIndentUnit> Indent;
    bool Help = false;
    bool Version = false;
    std::vector<std::string> Targets;
};

void SetMode(TOptions& Options, TRunMode Mode) {
    if (Options.Mode != TRunMode::Format && Options.Mode != Mode) {
        throw Exception("--check と --syntax (--warnings) は一緒に指定できません。");
    }
    Options.Mode = Mode;
}

TIndentUnit IndentOption(const std::vector<std::string>& Arguments, std::size_t& Index) {
    if (++Index == Arguments.size()) {
        throw Exception("--indent の後に tab か空白の数 (1～16) を指定してください。");
    }
    const std::optional<TIndentUnit> unit = ParseIndentUnit(Arguments[Index]);
    if (!unit) {
        throw Exception("--indent には tab か空白の数 (1～16) を指定してください: " +
                        Arguments[Index]);
    }
    return *unit;
}

TOptions ParseArguments(const std::vector<std::string>& Arguments) {
    TOptions options;
    bool optionsEnded = false;
    for (std::size_t index = 0; index < Arguments.size(); ++index) {
        const std::string& argument = Arguments[index];
        if (optionsEnded || argument == kStandardInput || !argument.starts_with('-')) {
            options.Targets.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--check" || argument == "--diff") {
            SetMode(options, TRunMode::Check);
            options.Diff = options.Diff || argument == "--diff";
        } else if (argument == "--syntax" || argument == "--warnings" ||
                   argument == "--fail-on-warnings") {
            SetMode(options, TRunMode::Syntax);
            if (argument == "--warnings") {
                options.Warnings = std::max(options.Warnings, TWarnings::Listed);
            } else if (argument == "--fail-on-warnings") {
                options.Warnings = TWarnings::Failing;
            }
        } else if (argument == "--indent") {
            options.Indent = IndentOption(Arguments, index);
        } else if (argument == "--help" || argument == "-h") {
            options.Help = true;
        } else if (argument == "--version") {
            options.Version = true;
        } else {
            throw Exception("不明なオプションです: " + argument +
                            "\n使い方は kestrane-format --help で表示されます。");
        }
    }
    if (options.Targets.empty()) {
        options.Targets.emplace_back(kStandardInput);
    }
    return options;
}

fs::path PathFromUtf8(const std::string& Text) {
    return fs::path(std::u8string(Text.begin(), Text.end()));
}

std::string Utf8Of(const fs::path& Path) {
    const std::u8string text = Path.u8string();
    return std::string(text.begin(), text.end());
}

bool IsScriptName(const fs::path& Path) {
    const std::string extension = Utf8Of(Path.extension());
    return std::ranges::equal(extension, kScriptExtension, [](char A, char B) {
        return (A >= 'A' && A <= 'Z' ? static_cast<char>(A - 'A' + 'a') : A) == B;
    });
}

std::vector<std::string_view> LinesOf(const TRowAttributeStringList& Rows) {
    std::vector<std::string_view> lines;
    lines.reserve(static_cast<std::size_t>(Rows.GetCount()));
    for (int row = 0; row < Rows.GetCount(); ++row) {
        lines.push_back(Rows.GetView(row));
    }
    return lines;
}

void PrintError(FormatConsole& Console, std::string_view Message) {
    Console.PrintErrorLine(std::string(kProgramName) + ": " + std::string(Message));
}

// A name from a script (in the text's code page) as the messages' UTF-8.
std::string Utf8OfName(std::string_view Name) {
    std::string utf8;
    try {
        TextEncoder(TTextEncoding::Utf8, [&utf8](std::string_view Bytes) {
            utf8 += Bytes;
        }).Put(Name);
    } catch (const EFileError&) {
        return std::string(Name.size(), '?');
    }
    constexpr std::string_view kMark = "\xEF\xBB\xBF";
    return utf8.substr(utf8.starts_with(kMark) ? kMark.size() : 0);
}

std::string FolderName(std::string_view Path) {
    return "フォルダ \"" + std::string(Path) + "\"";
}

// A script whose characters CP932 lacks would be formatted or checked with "?" in their place:
// it is refused.
void RefuseLossy(const TFileFormat& Format, std::string_view Name) {
    if (Format.Lossy) {
        throw EFileError(std::string(Name) +
                         " には Shift-JIS で表せない文字が含まれているため、扱えません。");
    }
}

FileBytes BytesOf(std::string_view Text) {
    FileBytes bytes{std::make_unique_for_overwrite<char[]>(Text.size()), Text.size()};
    std::ranges::copy(Text, bytes.Data.get());
    return bytes;
}

// One run over the command line's files, folders and standard input.
class TFormatRun {
public:
    TFormatRun(FormatConsole& Console, const TOptions& Options)
        : FConsole(Console), FOptions(Options) {}

    void Run(const std::string& Target) {
        Guarded([&] {
            if (Target == kStandardInput) {
                RunOnInput();
            } else if (std::error_code ignored; fs::is_directory(PathFromUtf8(Target), ignored)) {
                RunOnFolder(Target);
            } else {
                RunOnFile(Target);
            }
        });
    }

    TFormatStatus Status() const {
        if (FFailed) {
            return fsError;
        }
        return FFound ? fsFound : fsDone;
    }

private:
    // A failure is reported and the run goes on with the next file.
    void Guarded(const std::function<void()>& Step) {
        try {
            Step();
        } catch (const std::exception& error) {
            Fail(error.what());
        }
    }

    void Fail(std::string_view Message) {
        PrintError(FConsole, Message);
        FFailed = true;
    }

    // A script's unit: --indent, else its .editorconfig, else its own; the tab width from its
    // .editorconfig. Standard input has no folder, and so no .editorconfig.
    TIndentStyle StyleFor(std::optional<std::string_view> Path) const {
        const TEditorConfigIndent config =
            Path ? EditorConfigIndentFor(std::string(*Path)) : TEditorConfigIndent{};
        TIndentStyle style = IndentStyleOf(config, std::nullopt, kDefaultTabWidth);
        if (FOptions.Indent) {
            style.Unit = FOptions.Indent;
        }
        return style;
    }

    // The formatted script; none when it is formatted already, and under --check and --syntax,
    // which change nothing and list what they find.
    std::optional<std::string> Formatted(const TRowAttributeStringList& Rows, std::string_view Name,
                                         const TIndentStyle& Style, TTextEncoding Encoding) {
        const std::vector<std::string_view> lines = LinesOf(Rows);
        switch (FOptions.Mode) {
        case TRunMode::Format:
            return FormatScript(lines, Style);
        case TRunMode::Check:
            if (FOptions.Diff) {
                PrintDiff(lines, Name, Style, Encoding);
            } else if (!IsFormatted(lines, Style)) {
                FConsole.PrintLine(Name);
                FFound = true;
            }
            break;
        case TRunMode::Syntax:
            ListProblems(lines, Name);
            break;
        }
        return std::nullopt;
    }

    // The diff in the script's own bytes, or in UTF-8 (without its mark) for a script in UTF-16.
    void PrintDiff(std::span<const std::string_view> Lines, std::string_view Name,
                   const TIndentStyle& Style, TTextEncoding Encoding) {
        const std::string diff = UnifiedDiff(Name, Lines, FormatLines(Lines, Style));
        if (diff.empty()) {
            return;
        }
        FFound = true;
        if (Encoding == TTextEncoding::Sjis) {
            FConsole.WriteOutput(diff);
            return;
        }
        TextEncoder encoder(TTextEncoding::Utf8,
                            [this, mark = true](std::string_view Bytes) mutable {
                                if (!std::exchange(mark, false) || Bytes != kUtf8Mark) {
                                    FConsole.WriteOutput(Bytes);
                                }
                            });
        encoder.Put(diff);
    }

    void ListProblems(std::span<const std::string_view> Lines, std::string_view Name) {
        if (FOptions.Warnings == TWarnings::None) {
            ListProblems(ParseScript(Lines).Problems, Lines, Name);
            return;
        }
        const TScriptAnalysis analysis = AnalyseScript(Lines);
        ListProblems(analysis.Structure.Problems, Lines, Name);
        CharacterColumns columns;
        for (const TNameWarning& warning : analysis.Names.Warnings) {
            PrintPlaced(Name, warning.Line,
                        columns.At(Lines[static_cast<std::size_t>(warning.Line)], warning.Column),
                        "警告: " + WarningMessage(warning.Kind, Utf8OfName(warning.Name)));
            FFound = FFound || FOptions.Warnings == TWarnings::Failing;
        }
    }

    void ListProblems(std::span<const TScriptProblem> Problems,
                      std::span<const std::string_view> Lines, std::string_view Name) {
        CharacterColumns columns;
        for (const TScriptProblem& problem : Problems) {
            const std::string_view line = Lines[static_cast<std::size_t>(problem.Line)];
            PrintPlaced(Name, problem.Line, columns.At(line, problem.Column),
                        ProblemMessage(problem));
            FFound = true;
        }
    }

    // "NAME(LINE,COLUMN): MESSAGE", with the 0-based Line.
    void PrintPlaced(std::string_view Name, int Line, int Column, const std::string& Message) {
        FConsole.PrintLine(std::string(Name) + "(" + std::to_string(Line + 1) + "," +
                           std::to_string(Column) + "): " + Message);
    }

    void RunOnInput() {
        const std::string input = FConsole.ReadInput();
        const TDecodedFile decoded = DecodeFileBytes(BytesOf(input));
        RefuseLossy(decoded.Format, "標準入力");
        TRowAttributeStringList rows;
        LoadRowsFromText(rows, std::string_view(decoded.Text.Data.get(),
                                                static_cast<std::size_t>(decoded.Text.Size)));
        const std::optional<std::string> formatted =
            Formatted(rows, kStandardInput, StyleFor(std::nullopt), decoded.Format.Encoding);
        if (formatted) {
            WriteEncoded(decoded.Format.Encoding, *formatted,
                         [this](std::string_view Bytes) { FConsole.WriteOutput(Bytes); });
        } else if (FOptions.Mode == TRunMode::Format) {
            FConsole.WriteOutput(input);
        }
    }

    void RunOnFile(const std::string& Path) {
        TRowAttributeStringList rows;
        const TFileFormat format = LoadRowsFromFile(rows, Path);
        RefuseLossy(format, "ファイル \"" + Path + "\"");
        const std::optional<std::string> formatted =
            Formatted(rows, Path, StyleFor(Path), format.Encoding);
        if (formatted) {
            WriteFileSafely(Path, [&](const ChunkSink& Sink) {
                WriteEncoded(format.Encoding, *formatted, Sink);
            });
        }
    }

    void RunOnFolder(const std::string& Folder) {
        std::vector<fs::path> scripts;
        CollectScripts(PathFromUtf8(Folder), scripts);
        if (scripts.empty()) {
            throw EFileError(FolderName(Folder) + " には .vbs ファイルがありません。");
        }
        std::ranges::sort(scripts);
        for (const fs::path& script : scripts) {
            Guarded([&] { RunOnFile(Utf8Of(script)); });
        }
    }

    // The scripts in Folder and its subfolders; linked folders are not followed. A folder that
    // cannot be listed is reported, and the others are still searched.
    void CollectScripts(const fs::path& Folder, std::vector<fs::path>& Scripts) {
        std::error_code error;
        for (fs::directory_iterator entry(Folder, error), end; !error && entry != end;
             entry.increment(error)) {
            std::error_code ignored;
            if (!entry->is_directory(ignored)) {
                if (IsScriptName(entry->path())) {
                    Scripts.push_back(entry->path());
                }
            } else if (!entry->is_symlink(ignored)) {
                CollectScripts(entry->path(), Scripts);
            }
        }
        if (error) {
            Fail(FolderName(Utf8Of(Folder)) + " を読み込めません。");
        }
    }

    FormatConsole& FConsole;
    const TOptions& FOptions;
    bool FFailed = false;
    // --check found a script that would change, or --syntax a problem.
    bool FFound = false;
};

void PrintHelp(FormatConsole& Console) {
    for (const std::string_view line : kHelp) {
        Console.PrintLine(line);
    }
}

} // namespace

TFormatStatus RunFormatCli(const std::vector<std::string>& Arguments, FormatConsole& Console) {
    try {
        const TOptions options = ParseArguments(Arguments);
        if (options.Help) {
            PrintHelp(Console);
            return fsDone;
        }
        if (options.Version) {
            Console.PrintLine(std::string(kProgramName) + " " + KESTRANE_VERSION);
            return fsDone;
        }
        TFormatRun run(Console, options);
        for (const std::string& target : options.Targets) {
            run.Run(target);
        }
        return run.Status();
    } catch (const std::exception& error) {
        PrintError(Console, error.what());
        return fsError;
    }
}

} // namespace kst
