// The shell's hooks into the developer tools; each does nothing unless its switch is on.
#pragma once
#include <string>

// Where the tools write and read their files; empty: the working directory (the data folder).
void dev_set_output_dir(const std::string& dir);

void dev_read_state_file();     // start-up, first
void dev_open_asset_list();     // start-up, before the engine is built
void dev_write_asset_list();    // start-up, after the music
void dev_open_frame_log();      // start-up, last
void dev_log_frame();           // every frame, before the show advances
void dev_record_frame();        // every frame, after the part rendered
void dev_apply_bookmarks();     // every frame
void dev_write_state_file();    // every frame of the closing fade
void dev_close_frame_log();     // window shutdown, first

// The camera dump also written to a file (tools/clipboard_dump.h), and stderr says where.
// The path written, or "" when nothing was.
std::string dev_write_clipboard_dump(const std::string& text);
