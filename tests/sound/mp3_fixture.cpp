#include "mp3_fixture.h"

#include <lame/lame.h>
#include <mpg123.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numbers>

std::vector<float> stereo_sine(int rate, double seconds, double hz, float left_amp, float right_amp) {
    const auto frames = static_cast<size_t>(seconds * rate);
    std::vector<float> out(frames * 2);
    for (size_t i = 0; i < frames; ++i) {
        const auto s = static_cast<float>(std::sin(2.0 * std::numbers::pi * hz * static_cast<double>(i) / rate));
        out[i * 2] = left_amp * s;
        out[i * 2 + 1] = right_amp * s;
    }
    return out;
}

std::vector<float> stereo_sweep(int rate, double seconds, double from_hz, double to_hz, float amp) {
    const auto frames = static_cast<size_t>(seconds * rate);
    std::vector<float> out(frames * 2);
    const double k = (to_hz - from_hz) / seconds;
    for (size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / rate;
        const auto s = amp * static_cast<float>(std::sin(2.0 * std::numbers::pi * (from_hz * t + 0.5 * k * t * t)));
        out[i * 2] = s;
        out[i * 2 + 1] = s;
    }
    return out;
}

bool write_mp3(const std::string& path, const std::vector<float>& stereo, int rate) {
    lame_t lame = lame_init();
    if (!lame)
        return false;
    lame_set_in_samplerate(lame, rate);
    lame_set_out_samplerate(lame, rate);
    lame_set_num_channels(lame, 2);
    lame_set_brate(lame, 192);
    lame_set_quality(lame, 7);
    lame_set_bWriteVbrTag(lame, 1);
    if (lame_init_params(lame) < 0) {
        lame_close(lame);
        return false;
    }
    std::vector<unsigned char> mp3;
    const int frames = static_cast<int>(stereo.size() / 2);
    constexpr int block = 8192;
    std::vector<unsigned char> buf(block * 5 / 4 + 7200);
    for (int at = 0; at < frames; at += block) {
        const int n = std::min(block, frames - at);
        const int got = lame_encode_buffer_interleaved_ieee_float(lame, stereo.data() + at * 2, n, buf.data(),
                                                                  static_cast<int>(buf.size()));
        if (got < 0) {
            lame_close(lame);
            return false;
        }
        mp3.insert(mp3.end(), buf.begin(), buf.begin() + got);
    }
    const int tail = lame_encode_flush(lame, buf.data(), static_cast<int>(buf.size()));
    if (tail > 0)
        mp3.insert(mp3.end(), buf.begin(), buf.begin() + tail);
    // The first frame was reserved for the tag that carries delay and padding.
    const size_t tag = lame_get_lametag_frame(lame, buf.data(), buf.size());
    if (tag > 0 && tag <= mp3.size())
        std::copy(buf.begin(), buf.begin() + static_cast<std::ptrdiff_t>(tag), mp3.begin());
    lame_close(lame);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(mp3.data()), static_cast<std::streamsize>(mp3.size()));
    return static_cast<bool>(out);
}

std::string cached_mp3(const std::string& name, int rate, const std::function<std::vector<float>()>& make) {
    const std::filesystem::path dir = std::filesystem::path(THORNWAKE_BINARY_DIR) / "test-data" / "sound";
    const std::filesystem::path path = dir / name;
    if (std::filesystem::exists(path))
        return path.string();
    std::filesystem::create_directories(dir);
    const std::filesystem::path part = dir / (name + ".part" + std::to_string(getpid()));
    if (!write_mp3(part.string(), make(), rate))
        return {};
    std::filesystem::rename(part, path);
    return path.string();
}

reference_decode decode_reference(const std::string& path) {
    reference_decode out;
    mpg123_init();
    mpg123_handle* mh = mpg123_new(nullptr, nullptr);
    mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_FORCE_STEREO | MPG123_FORCE_FLOAT | MPG123_QUIET, 0);
    if (mpg123_open(mh, path.c_str()) == MPG123_OK) {
        long rate = 0;
        int channels = 0, encoding = 0;
        mpg123_getformat(mh, &rate, &channels, &encoding);
        out.rate = static_cast<int>(rate);
        std::vector<float> block(8192);
        for (;;) {
            size_t done = 0;
            const int err = mpg123_read(mh, block.data(), block.size() * sizeof(float), &done);
            out.stereo.insert(out.stereo.end(), block.begin(), block.begin() + static_cast<std::ptrdiff_t>(done / sizeof(float)));
            if (err != MPG123_OK && err != MPG123_NEW_FORMAT)
                break;
        }
        mpg123_close(mh);
    }
    mpg123_delete(mh);
    return out;
}
