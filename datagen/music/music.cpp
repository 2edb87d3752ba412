#include "datagen/music/music.h"

#include <thread>

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
    // The two tracks share nothing: the effects track renders and encodes beside the music.
    std::string effects_error;
    bool effects_ok = false;
    std::thread effects([&] {
        effects_ok = encode_and_write(music::render_effects(), music::effects_kbps,
                                      folder / "Kelpwander sfx.mp3", effects_error);
    });
    const bool music_ok = encode_and_write(music::render_music(), music::music_kbps, folder / "PS.mp3", error);
    effects.join();
    if (music_ok && !effects_ok) error = effects_error;
    return music_ok && effects_ok;
}
