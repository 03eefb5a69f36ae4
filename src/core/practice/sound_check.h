// A first look at a sound file before it is handed to the media player: only what starts like a
// WAV file ("RIFF" ... "WAVE") or an MP3 whose first audio frame is followed by another one (an
// ID3 tag may come first) is played, so that damaged or foreign data never reaches the decoder.
#pragma once

#include <cstddef>
#include <string_view>

namespace quillo {

// The bytes of a sound, or its first bytes (a frame that goes past them is not followed).
bool LooksLikeSound(std::string_view bytes);

// The same for the file at path, in its playable form (its first 256 KB are looked at); false
// when it cannot be read.
bool FileLooksLikeSound(std::string_view path);

// The length in bytes of the MPEG audio frame whose header starts bytes, 0 when it is not a
// frame header (or a free-format one, whose length the header does not give).
std::size_t MpegFrameLength(std::string_view bytes);

}  // namespace quillo
