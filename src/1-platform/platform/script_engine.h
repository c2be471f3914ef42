// The system's own VBScript engine, asked only to compile a script: it reads the whole text as
// the script host will, but nothing of the script runs.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace kst {

// Where the engine found its first compile error: the line (0-based) and the character (0-based,
// a double-byte character counting as one).
struct TEnginePlace {
    int Line = 0;
    int Column = 0;

    bool operator==(const TEnginePlace&) const = default;
};

struct TEngineVerdict {
    enum TOutcome : std::uint8_t {
        // The engine could not be created or asked: it has no verdict.
        evUnavailable,
        evCompiled,
        evError
    };
    TOutcome Outcome = evUnavailable;
    // Of an error: where, when the engine says, and its description (UTF-8), empty when it gives
    // none.
    std::optional<TEnginePlace> Place;
    std::string Description;

    bool operator==(const TEngineVerdict&) const = default;
};

class ScriptEngine {
public:
    using TVerdictHandler = std::function<void(const TEngineVerdict&)>;

    ScriptEngine() = default;
    ScriptEngine(const ScriptEngine&) = delete;
    ScriptEngine& operator=(const ScriptEngine&) = delete;
    virtual ~ScriptEngine() = default;

    // Compiles Script (the text's bytes, lines ending in CR LF) away from the window, which goes
    // on meanwhile, and hands the verdict to Done on the window's thread while it handles
    // messages. A call before an earlier verdict has arrived drops that verdict: only the newest
    // script's is handed over.
    virtual void Compile(std::string Script, TVerdictHandler Done) = 0;
};

} // namespace kst
