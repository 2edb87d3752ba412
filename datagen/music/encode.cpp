#include "datagen/music/encode.h"

#include <lame/lame.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <memory>

#include "datagen/music/dsp.h"

namespace music {

namespace {

struct lame_closer {
    void operator()(lame_global_flags* f) const { lame_close(f); }
};

}  // namespace

bool encode_mp3(const stereo& mix, int kbps, std::vector<unsigned char>& out, std::string& error) {
    out.clear();
    constexpr int valid_kbps[] = {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
    if (std::find(std::begin(valid_kbps), std::end(valid_kbps), kbps) == std::end(valid_kbps)) {
        // LAME would quietly pick another rate; a wrong rate is our mistake, say so.
        error = std::to_string(kbps) + " kbit/s is not an MPEG-1 Layer III bit rate";
        return false;
    }
    std::unique_ptr<lame_global_flags, lame_closer> lame(lame_init());
    if (!lame) {
        error = "cannot start the MP3 encoder (lame_init failed)";
        return false;
    }
    lame_global_flags* f = lame.get();
    lame_set_in_samplerate(f, sample_rate);
    lame_set_out_samplerate(f, sample_rate);
    lame_set_num_channels(f, 2);
    lame_set_mode(f, JOINT_STEREO);
    lame_set_VBR(f, vbr_off);
    lame_set_brate(f, kbps);
    lame_set_quality(f, 7);
    lame_set_bWriteVbrTag(f, 1);
    lame_set_write_id3tag_automatic(f, 0);
    if (lame_init_params(f) < 0) {
        error = "the MP3 encoder refused its settings (" + std::to_string(kbps) + " kbit/s, 44.1 kHz stereo)";
        return false;
    }
    const size_t frames = std::min(mix.left.size(), mix.right.size());
    constexpr size_t chunk = 65536;
    std::vector<unsigned char> buffer(chunk * 5 / 4 + 7200);
    for (size_t at = 0; at < frames; at += chunk) {
        const int n = static_cast<int>(std::min(chunk, frames - at));
        const int written = lame_encode_buffer_ieee_float(f, mix.left.data() + at, mix.right.data() + at, n,
                                                          buffer.data(), static_cast<int>(buffer.size()));
        if (written < 0) {
            error = "MP3 encoding failed (lame error " + std::to_string(written) + ")";
            return false;
        }
        out.insert(out.end(), buffer.begin(), buffer.begin() + written);
    }
    const int tail = lame_encode_flush(f, buffer.data(), static_cast<int>(buffer.size()));
    if (tail < 0) {
        error = "MP3 encoding failed while flushing (lame error " + std::to_string(tail) + ")";
        return false;
    }
    out.insert(out.end(), buffer.begin(), buffer.begin() + tail);
    // The encoder left a placeholder frame at the start; the real info frame replaces it.
    const size_t tag = lame_get_lametag_frame(f, buffer.data(), buffer.size());
    if (tag > 0 && tag <= out.size()) std::copy(buffer.begin(), buffer.begin() + static_cast<long>(tag), out.begin());
    return true;
}

bool write_file_atomically(const std::filesystem::path& path, const std::vector<unsigned char>& bytes,
                           std::string& error) {
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    if (ec) {
        error = "cannot create " + path.parent_path().string() + ": " + ec.message();
        return false;
    }
    // One temporary per process: two generators writing the same folder never share one.
    const std::filesystem::path temp = path.string() + ".tmp" + std::to_string(getpid());
    std::FILE* file = std::fopen(temp.c_str(), "wb");
    if (!file) {
        error = "cannot write " + temp.string() + ": check that the folder is writable";
        return false;
    }
    const bool complete = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (!complete || !closed) {
        std::filesystem::remove(temp, ec);
        error = "cannot write " + temp.string() + ": disk full?";
        return false;
    }
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        std::filesystem::remove(temp, ec);
        error = "cannot rename " + temp.string() + " to " + path.string();
        return false;
    }
    return true;
}

}  // namespace music
