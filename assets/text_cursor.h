// A read cursor over untrusted text with the scanf/istream habits the file formats were
// written against: whitespace-separated tokens, numbers that skip leading whitespace,
// literal characters that do not. Never reads past the end; the text must stay alive.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

class text_cursor {
public:
    // Owns the text so that the C number parsers always meet a terminating NUL.
    explicit text_cursor(std::string text);

    bool at_end() const { return pos_ >= text_.size(); }
    void skip_space();
    // Next run of non-space characters, cut at `max_len` (the rest is the next token).
    bool token(std::string_view& out, size_t max_len = 255);
    // Consumes up to max_len characters, stopping after the first '\n'.
    void skip_line(size_t max_len = 255);
    // Next non-space character, consumed or only looked at. False at the end.
    bool next_char(char& c);
    bool peek_char(char& c);
    // Consumes `c` when it is the very next character (no whitespace skipped).
    bool literal(char c);
    // Leading whitespace skipped; on failure nothing past it is consumed. Out-of-range
    // integers are clamped to the int32 range, floats follow strtof (1e999 -> inf).
    bool read_int(int32_t& v);
    bool read_float(float& v);

private:
    std::string text_;
    size_t pos_ = 0;
};

inline bool is_space(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
