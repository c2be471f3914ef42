// Files in Unicode. A file that starts with a UTF-16 mark (FF FE little-endian, FE FF big-endian)
// or the UTF-8 mark (EF BB BF) is decoded to the text's code page when it is read, and its text is
// encoded back with the same mark when it is written. A file without a mark is bytes of that code
// page, taken as they are, unless its start is plainly UTF-16 (ASCII with a zero byte in every
// second place): that is decoded too, but never written, since saving would add a mark.
#pragma once

#include "platform/files.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace kst {

enum class TTextEncoding : std::uint8_t { Sjis, Utf16Le, Utf8, Utf16Be };

// "SJIS" ("ANSI" when the text's code page is not Japanese), "UTF-16LE", "UTF-8", "UTF-16BE".
std::string_view EncodingName(TTextEncoding Encoding);

// How a file's text is stored: learnt when the file is read, and needed to write it back the
// same way.
struct TFileFormat {
    TTextEncoding Encoding = TTextEncoding::Sjis;
    // The file holds characters that the text's code page lacks, or bytes that do not decode: the
    // text has "?" in their place, so it is not the file's and is never written.
    bool Lossy = false;
    // UTF-16 without its mark: lossy too, since the file would not be written back as it is.
    bool Unmarked = false;

    bool operator==(const TFileFormat&) const = default;
};

// Raises EFileError when text read in Format must not be written.
void CheckWritable(const TFileFormat& Format);

struct TDecodedFile {
    FileBytes Text; // in the text's code page
    TFileFormat Format;
};

// A file's text in the text's code page: a file in Unicode decoded, any other as it is.
TDecodedFile DecodeFileBytes(FileBytes Bytes);

// Reads a file's text, as DecodeFileBytes decodes it; raises EFileError as ReadWholeFile
// does.
TDecodedFile ReadTextFile(const std::string& Path);

// Hands the text's bytes on to Sink in an encoding: the encoding's mark at once, then every piece
// converted.
class TextEncoder {
public:
    TextEncoder(TTextEncoding Encoding, ChunkSink Sink);

    // Raises EFileError when Text holds bytes that name no character; a piece must therefore
    // not end inside a double-byte character.
    void Put(std::string_view Text);

private:
    // A buffer of at least Size bytes.
    char* Room(std::size_t Size);

    TTextEncoding FEncoding;
    ChunkSink FSink;
    std::unique_ptr<char[]> FBuffer;
    std::size_t FCapacity = 0;
};

// Text whole to Sink in Encoding, with its mark.
void WriteEncoded(TTextEncoding Encoding, std::string_view Text, const ChunkSink& Sink);

} // namespace kst
