#include "app/data_location.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace {

fs::path clean(const std::string& dir)
{
    fs::path p = fs::path(dir).lexically_normal();
    if (p.has_relative_path() && p.filename().empty()) p = p.parent_path();  // "a/b/" is "a/b"
    return p;
}

bool named_by_user(data_origin o) { return o == data_origin::option || o == data_origin::environment; }

std::string describe(const data_candidate& c) { return c.dir + " (" + data_origin_name(c.origin) + ")"; }

}  // namespace

std::vector<data_candidate> data_candidates(const data_search& s)
{
    if (!s.option_dir.empty()) return {{s.option_dir, data_origin::option}};
    if (!s.env_dir.empty()) return {{s.env_dir, data_origin::environment}};
    std::vector<data_candidate> out;
    if (s.program_dir.empty()) return out;
    const fs::path program = clean(s.program_dir);
    out.push_back({(program / "data").string(), data_origin::beside_program});
    if (program.filename() == "bin")
        out.push_back({(program.parent_path() / "share" / "thornwake").string(), data_origin::install_prefix});
    // Only a program that still lies where it was built may read the checkout: an installed
    // or unpacked copy must never depend on the tree it came from.
    if (!s.build_dir.empty() && !s.source_data_dir.empty() && program == clean(s.build_dir))
        out.push_back({clean(s.source_data_dir).string(), data_origin::build_tree});
    return out;
}

data_choice choose_data_dir(const std::vector<data_candidate>& candidates, const folder_test& holds_data,
                            const folder_test& is_folder)
{
    data_choice choice;
    for (const data_candidate& c : candidates) {
        if (named_by_user(c.origin) ? is_folder(c.dir) : holds_data(c.dir)) {
            choice.found = true;
            choice.where = c;
            return choice;
        }
    }
    if (candidates.size() == 1 && named_by_user(candidates[0].origin)) {
        choice.error = "data folder " + describe(candidates[0]) + " is not a folder";
        return choice;
    }
    std::string looked;
    for (const data_candidate& c : candidates) looked += (looked.empty() ? "" : ", ") + describe(c);
    choice.error = "no show data found; looked in " + (looked.empty() ? std::string("no folder") : looked) +
                   ". Write it with thornwake-datagen --out DIR, then pass --data DIR";
    return choice;
}

std::string choose_output_dir(const data_choice& data, bool data_writable, const std::string& xdg_state_home,
                              const std::string& home)
{
    // An installed copy may well be writable (root, or a user-owned prefix), but outputs
    // there would outlive the package and mix with files it owns.
    if (data.found && data_writable && data.where.origin != data_origin::install_prefix) return data.where.dir;
    // Relative values are invalid by the base directory rules and must be ignored.
    if (!xdg_state_home.empty() && xdg_state_home[0] == '/') return (fs::path(xdg_state_home) / "thornwake").string();
    if (!home.empty()) return (fs::path(home) / ".local" / "state" / "thornwake").string();
    return {};
}

const char* data_origin_name(data_origin origin)
{
    switch (origin) {
    case data_origin::option: return "--data";
    case data_origin::environment: return "$THORNWAKE_DATA";
    case data_origin::beside_program: return "beside the program";
    case data_origin::install_prefix: return "the install prefix";
    case data_origin::build_tree: return "the build tree";
    }
    return "";
}

std::string data_and_outputs_help()
{
    return "Data: --data DIR, else $THORNWAKE_DATA, else data/ beside the program, else PREFIX/share/thornwake\n"
           "for a program in PREFIX/bin, else the checkout's data/ for a program in its build tree.\n"
           "Outputs of the developer switches (logs/, state.txt, the asset list) go into the data folder, or\n"
           "into $XDG_STATE_HOME/thornwake (default ~/.local/state/thornwake) when that folder cannot be\n"
           "written or is an installed copy. --capture, --video and --stats write where they are told.";
}

std::string version_report(const std::string& version, const data_choice& data, const std::string& fingerprint)
{
    std::string out = "thornwake " + version + "\n";
    if (!data.found) return out + "data: " + data.error + "\n";
    return out + "data " + fingerprint + " in " + describe(data.where) + "\n";
}
