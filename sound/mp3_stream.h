// An MP3 file decoded by libmpg123 as it plays: only a few frames are ever held in memory.
// Output is always stereo float at the file's own rate (mono files are doubled).
#pragma once
#include <memory>
#include <string>

#include "sound/sound_source.h"

struct mpg123_handle_struct;

class mp3_stream final : public sound_source {
public:
    // Null when the file is missing or holds no decodable MPEG audio.
    static std::unique_ptr<mp3_stream> open(const std::string& path);
    ~mp3_stream() override;
    mp3_stream(const mp3_stream&) = delete;
    mp3_stream& operator=(const mp3_stream&) = delete;

    int rate() const override { return rate_; }
    size_t read(float* stereo, size_t frames) override;
    // libmpg123 lands on the MP3 frame holding `frame` and decodes forward to it, so the
    // result is sample-exact; encoder delay and padding are already trimmed (gapless).
    bool seek(uint64_t frame) override;
    // Exact length in frames. Scans the whole file once; playback never needs it.
    uint64_t length();

private:
    explicit mp3_stream(mpg123_handle_struct* handle, int rate) : handle_(handle), rate_(rate) {}
    mpg123_handle_struct* handle_;
    int rate_;
};
