// Turning whole texts and files into rows and back. A text is split at CR LF, lone CR and lone
// LF; every row but the last ends in raLineBreak, and the last one too when the text ends with a
// line break, otherwise it is raEndOfText. Rows are written back with CR LF after every
// raLineBreak row and nothing after the others, so a text without a final line break keeps it
// missing. CP932 bytes are taken as they are: NUL bytes are ordinary text. Files in UTF-16 or
// UTF-8 with a mark are decoded and encoded (lists/text_encoding.h).
#pragma once

#include "lists/string_list.h"
#include "lists/text_encoding.h"
#include "platform/files.h"

#include <string>
#include <string_view>

namespace kst {

// Replaces the rows by the lines of a file's text, which the rows keep in the buffer it was read
// or decoded into; answers the file's format. In a CP932 file a Ctrl-Z byte (26) that is the
// file's last byte is an end-of-file mark and not loaded; any other Ctrl-Z is text, and so is
// every one in a file in Unicode. Raises EFileError when the file cannot be read.
TFileFormat LoadRowsFromFile(TRowAttributeStringList& Rows, const std::string& Path);
// The same for a file's bytes already read.
TFileFormat LoadRowsFromFileBytes(TRowAttributeStringList& Rows, FileBytes Bytes);

// The text a decoded file holds for the rows: without a CP932 file's end-of-file mark.
std::string_view DocumentText(const TDecodedFile& Decoded);

// Replaces the rows by the lines of Text.
void LoadRowsFromText(TRowAttributeStringList& Rows, std::string_view Text);

// The whole text of the rows.
std::string RowsTextStr(const TRowAttributeStringList& Rows);
// Where a copy of the rows' text stands: the next row to copy, and the bytes of it copied already.
struct TRowTextPlace {
    int Row = 0;
    std::size_t Byte = 0;
};
// Appends the rows' text from At on, as RowsTextStr gives it, to Text, about Budget bytes of it,
// and moves At past what it appended: a row longer than what is left of Budget is cut, and every
// row counts at least kRowCopyCost bytes, so that the work is bounded whatever the rows' lengths.
// Answers whether the copy has reached the last row's end.
inline constexpr std::size_t kRowCopyCost = 32;
bool AppendRowsTextPart(const TRowAttributeStringList& Rows, TRowTextPlace& At, std::size_t Budget,
                        std::string& Text);

// Hands the whole text of the rows to Sink in large pieces, in Encoding with its mark. Raises
// EFileError when a row holds bytes that name no character of a Unicode encoding.
void WriteRows(const TRowAttributeStringList& Rows, TTextEncoding Encoding, const ChunkSink& Sink);

} // namespace kst
