// The camera dump the shell puts on the clipboard as the show ends. The process ends right
// after, and on X11 a clipboard's text goes with the process that owns it, so the text is
// also written to a file beside the other developer outputs.
#pragma once
#include <string>

inline constexpr const char* clipboard_dump_file = "clipboard.txt";

// Writes text to clipboard_dump_file under root (the working directory when empty) and
// returns the file's absolute path; "" when the text is empty or cannot be written.
std::string write_clipboard_dump(const std::string& root, const std::string& text);
