// Arbitrary bytes loaded as a file and saved again. A CP932 file is saved as the loaded text's
// normalisation (every CR LF, lone CR and lone LF becomes CR LF; a final Ctrl-Z is dropped). A
// file in Unicode without lossy characters is saved in its encoding with its mark, loads again as
// the same text, and comes back byte for byte when its line breaks were CR LF already. The rows
// hold no line break, and nothing is read outside the file's bytes.
#include "fuzz_check.h"
#include "lists/row_text_io.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace {

using kst::fuzz::Check;

std::string Normalised(std::string_view File) {
    if (!File.empty() && File.back() == '\x1A') {
        File.remove_suffix(1);
    }
    std::string text;
    for (std::size_t i = 0; i < File.size(); ++i) {
        if (File[i] == '\r' || File[i] == '\n') {
            text += "\r\n";
            i += File[i] == '\r' && i + 1 < File.size() && File[i + 1] == '\n' ? 1 : 0;
        } else {
            text += File[i];
        }
    }
    return text;
}

void CheckRows(const kst::TRowAttributeStringList& Rows) {
    for (int row = 0; row < Rows.GetCount(); ++row) {
        const std::string_view text = Rows.GetView(row);
        Check(text.find_first_of("\r\n") == std::string_view::npos, "a row holds a line break");
        const bool last = row + 1 == Rows.GetCount();
        const int attribute = Rows.GetRowAttribute(row);
        Check(attribute == kst::raLineBreak || (last && attribute == kst::raEndOfText),
              "row attribute");
    }
}

// A buffer of exactly the file's size, as ReadWholeFile's may be, so a read past it shows.
kst::FileBytes BytesOf(std::string_view File) {
    kst::FileBytes bytes{std::make_unique<char[]>(File.size()), File.size()};
    std::memcpy(bytes.Data.get(), File.data(), File.size());
    return bytes;
}

std::string Saved(const kst::TRowAttributeStringList& Rows, kst::TTextEncoding Encoding) {
    std::string saved;
    kst::WriteRows(Rows, Encoding, [&saved](std::string_view Piece) { saved += Piece; });
    return saved;
}

void CheckUnicodeRoundTrip(std::string_view File, const kst::TRowAttributeStringList& Rows,
                           const kst::TFileFormat& Format) {
    const std::string text = kst::RowsTextStr(Rows);
    const std::string saved = Saved(Rows, Format.Encoding);
    kst::TRowAttributeStringList reloaded;
    Check(kst::LoadRowsFromFileBytes(reloaded, BytesOf(saved)) == Format, "the format changed");
    Check(kst::RowsTextStr(reloaded) == text, "the saved file loads as another text");
    const kst::FileBytes decoded = kst::DecodeFileBytes(BytesOf(File)).Text;
    if (std::string_view(decoded.Data.get(), static_cast<std::size_t>(decoded.Size)) == text) {
        Check(saved == File, "a file with CR LF line breaks did not come back byte for byte");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::string_view file(reinterpret_cast<const char*>(Data), Size);
    kst::TRowAttributeStringList rows;
    const kst::TFileFormat format = kst::LoadRowsFromFileBytes(rows, BytesOf(file));
    CheckRows(rows);
    if (format.Encoding != kst::TTextEncoding::Sjis) {
        if (!format.Lossy) {
            CheckUnicodeRoundTrip(file, rows, format);
        }
        return 0;
    }
    const std::string saved = Saved(rows, format.Encoding);
    Check(saved == Normalised(file), "saved bytes differ from the normalised file");
    Check(kst::RowsTextStr(rows) == saved, "the whole text differs from the saved bytes");
    return 0;
}
