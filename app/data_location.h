// Where the show's data is and where the program's own outputs go. Pure: the caller
// gathers the candidate folders and answers "does this folder hold the data?"; nothing
// here touches the file system, so every rule is testable with made-up folders.
#pragma once
#include <functional>
#include <string>
#include <vector>

// The entries of a complete data folder: the committed shaders and what
// thornwake-datagen writes. The fingerprint reads these and nothing else, so logs or a
// state file beside them do not change it. packaging/CMakeLists.txt installs the same set.
inline constexpr const char* data_entries[] = {"Materials", "PostProcessing", "music", "newneomeshes",
                                               "imageseq",  "binaries",       "try1.sav"};

enum class data_origin { option, environment, beside_program, install_prefix, build_tree };

struct data_candidate {
    std::string dir;
    data_origin origin = data_origin::option;
};

// What the search starts from; an empty field is a place that does not apply.
struct data_search {
    std::string option_dir;       // --data
    std::string env_dir;          // $THORNWAKE_DATA
    std::string program_dir;      // the folder the executable lies in
    std::string build_dir;        // the build tree the executable was built in
    std::string source_data_dir;  // the checkout's data/
};

// In order: --data; else $THORNWAKE_DATA; else data/ beside the program (the portable
// archive), PREFIX/share/thornwake when the program lies in PREFIX/bin (an install), and
// the checkout's data/ only for a program still in its build tree.
std::vector<data_candidate> data_candidates(const data_search& search);

struct data_choice {
    bool found = false;
    data_candidate where;
    std::string error;  // one line when nothing was chosen, saying where the search looked
};

using folder_test = std::function<bool(const std::string& dir)>;

// The first candidate that holds the data. A folder the user named (--data or
// $THORNWAKE_DATA) is the only candidate and needs only to be a folder: a mistyped path
// must not quietly run another copy, and a damaged folder is the show's to report.
data_choice choose_data_dir(const std::vector<data_candidate>& candidates, const folder_test& holds_data,
                            const folder_test& is_folder);

// Outputs (frame log, recording, state file, asset list) go beside the data when that
// folder can be written and is not an installed copy; otherwise into
// $XDG_STATE_HOME/thornwake, or ~/.local/state/thornwake. Empty when there is no home.
std::string choose_output_dir(const data_choice& data, bool data_writable, const std::string& xdg_state_home,
                              const std::string& home);

// "the install prefix", "--data" ...: how the messages name an origin.
const char* data_origin_name(data_origin origin);

// The text --help ends with: the data search and where outputs go.
std::string data_and_outputs_help();

// --version: "thornwake 1.0.0" and a line naming the data found and its fingerprint.
std::string version_report(const std::string& version, const data_choice& data, const std::string& fingerprint);
