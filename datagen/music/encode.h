// MP3 encoding through LAME and the write-then-rename that keeps a half-written file from
// ever being read as the real one.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include "datagen/music/voices.h"

namespace music {

// Constant bit rate, joint stereo, 44.1 kHz, with the LAME info frame that tells decoders
// the encoder delay and padding, so decoded samples line up with ours exactly.
bool encode_mp3(const stereo& mix, int kbps, std::vector<unsigned char>& out, std::string& error);

bool write_file_atomically(const std::filesystem::path& path, const std::vector<unsigned char>& bytes,
                           std::string& error);

}  // namespace music
