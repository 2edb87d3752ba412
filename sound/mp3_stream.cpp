#include "sound/mp3_stream.h"

#include <mpg123.h>

#include <cstdio>
#include <mutex>

namespace {

void init_library_once() {
    static std::once_flag once;
    std::call_once(once, [] { mpg123_init(); });
}

// Stereo float at whatever rate the file has; the mixer resamples.
bool force_stereo_float(mpg123_handle* mh) {
    if (mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_FORCE_STEREO | MPG123_FORCE_FLOAT | MPG123_QUIET | MPG123_GAPLESS, 0) != MPG123_OK)
        return false;
    // Search as far as it takes past damaged data instead of giving up after 1 KiB.
    mpg123_param(mh, MPG123_RESYNC_LIMIT, -1, 0);
    mpg123_format_none(mh);
    const long* rates = nullptr;
    size_t count = 0;
    mpg123_rates(&rates, &count);
    for (size_t i = 0; i < count; ++i)
        mpg123_format(mh, rates[i], MPG123_STEREO, MPG123_ENC_FLOAT_32);
    return true;
}

}  // namespace

std::unique_ptr<mp3_stream> mp3_stream::open(const std::string& path) {
    init_library_once();
    mpg123_handle* mh = mpg123_new(nullptr, nullptr);
    if (!mh)
        return nullptr;
    long rate = 0;
    int channels = 0, encoding = 0;
    // getformat decodes the first frame header: a file that opens but is not MPEG audio fails here.
    if (!force_stereo_float(mh) || mpg123_open(mh, path.c_str()) != MPG123_OK ||
        mpg123_getformat(mh, &rate, &channels, &encoding) != MPG123_OK || channels != 2 ||
        encoding != MPG123_ENC_FLOAT_32 || rate <= 0) {
        mpg123_delete(mh);
        return nullptr;
    }
    return std::unique_ptr<mp3_stream>(new mp3_stream(mh, static_cast<int>(rate)));
}

mp3_stream::~mp3_stream() {
    mpg123_close(handle_);
    mpg123_delete(handle_);
}

size_t mp3_stream::read(float* stereo, size_t frames) {
    const size_t frame_bytes = 2 * sizeof(float);
    auto* out = reinterpret_cast<unsigned char*>(stereo);
    size_t filled = 0;
    // A short read means the end to the mixer, so damage must not end the loop: libmpg123
    // reports it and resyncs on the next call. Only the end of the file, or a stream that
    // keeps yielding nothing, stops it.
    for (int idle = 0; filled < frames * frame_bytes && idle < 64;) {
        size_t done = 0;
        const int err = mpg123_read(handle_, out + filled, frames * frame_bytes - filled, &done);
        filled += done;
        idle = done > 0 ? 0 : idle + 1;
        if (err == MPG123_DONE)
            break;
    }
    return filled / frame_bytes;
}

bool mp3_stream::seek(uint64_t frame) {
    const off_t landed = mpg123_seek(handle_, static_cast<off_t>(frame), SEEK_SET);
    return landed >= 0 && static_cast<uint64_t>(landed) == frame;
}

uint64_t mp3_stream::length() {
    const off_t here = mpg123_tell(handle_);
    mpg123_scan(handle_);
    const off_t total = mpg123_length(handle_);
    if (here >= 0)
        mpg123_seek(handle_, here, SEEK_SET);
    return total > 0 ? static_cast<uint64_t>(total) : 0;
}
