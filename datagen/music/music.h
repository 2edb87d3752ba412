// The show's soundtrack and effects track, synthesised and encoded to MP3:
// out_dir/music/PS.mp3 and out_dir/music/Kelpwander sfx.mp3. Same bytes on every run.
#pragma once
#include <filesystem>
#include <string>

bool generate_music(const std::filesystem::path& out_dir, std::string& error);
