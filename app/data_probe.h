// The file-system side of finding the data: the candidate folders of this run, the
// "holds the data?" test and the fingerprint --version prints. The rules themselves are
// in data_location.h.
#pragma once
#include <string>

#include "app/data_location.h"

// The search for this process: --data and $THORNWAKE_DATA made absolute (the show runs
// from inside the data folder), the executable's folder from /proc/self/exe.
data_search current_data_search(const std::string& option_dir, const std::string& build_dir,
                                const std::string& source_data_dir);

// Every entry of data_entries is there (a folder where the generator writes one).
bool folder_holds_data(const std::string& dir);
bool folder_exists(const std::string& dir);
bool folder_writable(const std::string& dir);

// Finds the data with the real file system.
data_choice find_show_data(const data_search& search);

// Where the outputs go for this data, from $XDG_STATE_HOME and $HOME.
std::string output_dir_for(const data_choice& data);

// 12 hex digits over the names and bytes of the data entries under dir; the same data
// gives the same text wherever it lies. Unreadable files count as empty.
std::string data_fingerprint(const std::string& dir);
