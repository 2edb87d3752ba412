#include "datagen/music/music.h"

#include "datagen/music/encode.h"
#include "datagen/music/tracks.h"

namespace {

bool encode_and_write(const music::stereo& mix, int kbps, const std::filesystem::path& path,
                      std::string& error) {
    std::vector<unsigned char> bytes;
    if (!music::encode_mp3(mix, kbps, bytes, error)) {
        error = path.filename().string() + ": " + error;
        return false;
    }
    return music::write_file_atomically(path, bytes, error);
}

}  // namespace

bool generate_music(const std::filesystem::path& out_dir, std::string& error) {
    const std::filesystem::path folder = out_dir / "music";
    if (!encode_and_write(music::render_music(), music::music_kbps, folder / "PS.mp3", error)) return false;
    return encode_and_write(music::render_effects(), music::effects_kbps, folder / "Kelpwander sfx.mp3", error);
}
