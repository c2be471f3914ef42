// The tokenizer with the main window's fountain and random settings (bracket regions, mail and
// URL detection, control codes, the commenter) over arbitrary rows, some of them continued by
// word wrap: every token lies inside its row, after the one before it, and is not empty.
#include "app/main_window_editor.h"
#include "core/code_page.h"
#include "fountain/editor_fountain.h"
#include "fountain/editor_parser.h"
#include "fuzz_check.h"
#include "lists/row_text_io.h"

#include <cstdint>
#include <exception>
#include <fuzzer/FuzzedDataProvider.h>
#include <memory>
#include <string>

namespace {

using kst::fuzz::Check;

constexpr int kMaxBrackets = 3;
constexpr std::size_t kMaxBracketBytes = 4;

void Configure(kst::TEditorFountain& Fountain, FuzzedDataProvider& Input) {
    kst::ApplyMainWindowColouring(Fountain);
    const int brackets = Input.ConsumeIntegralInRange(0, kMaxBrackets);
    for (int i = 0; i < brackets; ++i) {
        kst::TFountainBracketItem* item = Fountain.GetBrackets().Add();
        // A bracket item refuses a left bracket without a right one, as it refuses a user.
        try {
            item->SetLeftBracket(Input.ConsumeRandomLengthString(kMaxBracketBytes));
            item->SetRightBracket(Input.ConsumeRandomLengthString(kMaxBracketBytes));
        } catch (const std::exception&) {
        }
    }
    Fountain.SetMail(Input.ConsumeBool());
    Fountain.SetUrl(Input.ConsumeBool());
    Fountain.SetControlCode(Input.ConsumeBool());
    if (Input.ConsumeBool()) {
        Fountain.SetCommenter(Input.ConsumeRandomLengthString(2));
    }
}

// Word wrap never splits a double-byte character, so a wrapped row cannot end in a lead byte
// whose character the next row would finish.
bool EndsInLoneLeadByte(std::string_view Text) {
    std::size_t pos = 0;
    while (pos < Text.size() && pos + kst::CharLengthAt(Text, pos) < Text.size()) {
        pos += kst::CharLengthAt(Text, pos);
    }
    return pos + 1 == Text.size() && kst::IsLeadByte(Text[pos]);
}

void CheckTokens(kst::TFountainParser& Parser, std::string_view Text, bool Continued) {
    int end = 0;
    for (kst::TTokenKind kind = Parser.ReadToken(); kind != kst::tokEndOfRow;
         kind = Parser.ReadToken()) {
        const int start = Parser.TokenStart();
        Check(start >= end, "a token starts before the end of the one before it");
        end = start + Parser.TokenSize();
        // The continuation of a token cut by word wrap may find nothing more to take.
        Check(end > start || (start == 0 && Continued), "an empty token");
        Check(end <= static_cast<int>(Text.size()), "a token runs past its row");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    FuzzedDataProvider input(Data, Size);
    auto fountain = kst::CreateComponent<kst::TEditorFountain>(nullptr);
    Configure(*fountain, input);
    const std::uint32_t wrapBits = input.ConsumeIntegral<std::uint32_t>();
    kst::TRowAttributeStringList rows;
    kst::LoadRowsFromText(rows, input.ConsumeRemainingBytesAsString());
    for (int row = 0; row + 1 < rows.GetCount(); ++row) {
        if ((wrapBits >> (row % 32) & 1) != 0 && !EndsInLoneLeadByte(rows.GetView(row))) {
            rows.SetRowAttribute(row, kst::raWrap);
        }
    }
    const auto parser = fountain->NewParser();
    kst::TRowAttributeData state;
    for (int row = 0; row < rows.GetCount(); ++row) {
        const auto attribute = static_cast<std::uint8_t>(rows.GetRowAttribute(row));
        state.RowAttribute = attribute;
        const std::string_view text = rows.GetView(row);
        parser->BeginRow(text, state);
        CheckTokens(*parser, text, state.WrappedToken != 0);
        parser->AdvanceRowState(row, rows, state);
        state.PrevRowAttribute = attribute;
    }
    return 0;
}
