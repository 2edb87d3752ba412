#include "assets/text_cursor.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <utility>

text_cursor::text_cursor(std::string text) : text_(std::move(text)) {}

void text_cursor::skip_space()
{
    while (pos_ < text_.size() && is_space(text_[pos_])) ++pos_;
}

bool text_cursor::token(std::string_view& out, size_t max_len)
{
    skip_space();
    if (at_end()) return false;
    size_t start = pos_;
    while (pos_ < text_.size() && !is_space(text_[pos_]) && pos_ - start < max_len) ++pos_;
    out = std::string_view(text_).substr(start, pos_ - start);
    return true;
}

void text_cursor::skip_line(size_t max_len)
{
    size_t start = pos_;
    while (pos_ < text_.size() && pos_ - start < max_len) {
        if (text_[pos_++] == '\n') break;
    }
}

bool text_cursor::next_char(char& c)
{
    if (!peek_char(c)) return false;
    ++pos_;
    return true;
}

bool text_cursor::peek_char(char& c)
{
    skip_space();
    if (at_end()) return false;
    c = text_[pos_];
    return true;
}

bool text_cursor::literal(char c)
{
    if (at_end() || text_[pos_] != c) return false;
    ++pos_;
    return true;
}

// strtoll/strtof stop at the string's terminating NUL (or an embedded one), so they can
// never run past the end of text_.
bool text_cursor::read_int(int32_t& v)
{
    skip_space();
    if (at_end()) return false;
    const char* begin = text_.c_str() + pos_;
    char* end = nullptr;
    errno = 0;
    long long value = std::strtoll(begin, &end, 10);
    if (end == begin) return false;
    if (value > INT32_MAX) value = INT32_MAX;
    if (value < INT32_MIN) value = INT32_MIN;
    v = static_cast<int32_t>(value);
    pos_ += static_cast<size_t>(end - begin);
    return true;
}

bool text_cursor::read_float(float& v)
{
    skip_space();
    if (at_end()) return false;
    const char* begin = text_.c_str() + pos_;
    char* end = nullptr;
    float value = std::strtof(begin, &end);
    if (end == begin) return false;
    v = value;
    pos_ += static_cast<size_t>(end - begin);
    return true;
}
