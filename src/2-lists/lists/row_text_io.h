// Turning whole texts and files into rows and back. A text is split at CR LF, lone CR and lone
// LF; every row but the last ends in raLineBreak, and the last one too when the text ends with a
// line break, otherwise it is raEndOfText. Rows are written back with CR LF after every
// raLineBreak row and nothing after the others, so a text without a final line break keeps it
// missing. Bytes are taken as they are: NUL bytes are ordinary text.
#pragma once

#include "lists/string_list.h"
#include "platform/files.h"

#include <string>
#include <string_view>

namespace kst {

// Replaces the rows by the lines of a file's bytes, which the rows keep without copying. A
// Ctrl-Z byte (26) that is the file's last byte is an end-of-file mark and not loaded; any other
// Ctrl-Z is text.
void LoadRowsFromFileBytes(TRowAttributeStringList& Rows, FileBytes Bytes);

// Replaces the rows by the lines of Text.
void LoadRowsFromText(TRowAttributeStringList& Rows, std::string_view Text);

// The whole text of the rows.
std::string RowsTextStr(const TRowAttributeStringList& Rows);

// Hands the whole text of the rows to Sink in large pieces.
void WriteRows(const TRowAttributeStringList& Rows, const ChunkSink& Sink);

} // namespace kst
