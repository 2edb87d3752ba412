#include "app/data_location.h"
#include "app/data_probe.h"
#include "app/run_options.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <set>

namespace fs = std::filesystem;

namespace {

std::vector<std::string> dirs(const std::vector<data_candidate>& cs)
{
    std::vector<std::string> out;
    for (const data_candidate& c : cs) out.push_back(c.dir);
    return out;
}

folder_test one_of(std::set<std::string> folders)
{
    return [folders](const std::string& d) { return folders.count(d) > 0; };
}

const folder_test none = [](const std::string&) { return false; };

data_choice found_at(const std::string& dir, data_origin origin)
{
    data_choice c;
    c.found = true;
    c.where = {dir, origin};
    return c;
}

struct temp_folder {
    fs::path path;
    temp_folder()
    {
        std::random_device seed;
        path = fs::temp_directory_path() / ("thornwake-data-test-" + std::to_string(seed()) + std::to_string(seed()));
        fs::create_directories(path);
    }
    ~temp_folder()
    {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
};

void write(const fs::path& p, const std::string& bytes)
{
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << bytes;
}

// A small stand-in for the show's data: every entry there, a few bytes each.
void fill_data(const fs::path& dir)
{
    write(dir / "Materials/f_material1.cpp", "void main() {}");
    write(dir / "PostProcessing/f_godrays.cpp", "void main() { }");
    write(dir / "music/PS.mp3", "ID3 music");
    write(dir / "newneomeshes/thornwake.obj", "o letter00_T\n");
    write(dir / "imageseq/00000.jpeg", "jpeg0");
    write(dir / "imageseq/00001.jpeg", "jpeg1");
    write(dir / "binaries/Velocity.dat", std::string(64, '\0'));
    write(dir / "try1.sav", "path");
}

}  // namespace

TEST(DataSearch, AFolderTheUserNamedIsTheOnlyCandidate)
{
    data_search s{"/mine", "/from-env", "/usr/bin", "/usr/bin", "/src/data"};
    EXPECT_EQ(dirs(data_candidates(s)), std::vector<std::string>{"/mine"});
    s.option_dir.clear();
    const auto env = data_candidates(s);
    ASSERT_EQ(env.size(), 1u);
    EXPECT_EQ(env[0].dir, "/from-env");
    EXPECT_EQ(env[0].origin, data_origin::environment);
}

TEST(DataSearch, BesideTheProgramThenInstallPrefixThenBuildTree)
{
    // Unpacked archive: only its own data/ (the folder is not a bin/, nor the build tree).
    EXPECT_EQ(dirs(data_candidates({"", "", "/tmp/x/thornwake-1.0.0", "/w/build", "/w/data"})),
              std::vector<std::string>{"/tmp/x/thornwake-1.0.0/data"});
    // Installed: PREFIX/share/thornwake for PREFIX/bin, whatever the prefix.
    EXPECT_EQ(dirs(data_candidates({"", "", "/opt/tw/bin", "/w/build", "/w/data"})),
              (std::vector<std::string>{"/opt/tw/bin/data", "/opt/tw/share/thornwake"}));
    // Still in the build tree (spelt differently by CMake): the checkout's data/ comes last.
    const auto built = data_candidates({"", "", "/w/build-rel", "/w/./build-rel/", "/w/data/"});
    EXPECT_EQ(dirs(built), (std::vector<std::string>{"/w/build-rel/data", "/w/data"}));
    EXPECT_EQ(built.back().origin, data_origin::build_tree);
    // The program's folder unknown: nothing to search.
    EXPECT_TRUE(data_candidates({"", "", "", "/w/build", "/w/data"}).empty());
}

TEST(DataChoice, FirstCandidateHoldingTheDataWins)
{
    const std::vector<data_candidate> cs{{"/a/data", data_origin::beside_program},
                                         {"/a/share/thornwake", data_origin::install_prefix},
                                         {"/w/data", data_origin::build_tree}};
    const data_choice both = choose_data_dir(cs, one_of({"/a/share/thornwake", "/w/data"}), none);
    ASSERT_TRUE(both.found);
    EXPECT_EQ(both.where.dir, "/a/share/thornwake");
    EXPECT_EQ(both.where.origin, data_origin::install_prefix);
    // A folder that merely exists is not enough where the program searches.
    EXPECT_FALSE(choose_data_dir(cs, none, one_of({"/a/data"})).found);
}

TEST(DataChoice, NamedFolderNeedsOnlyToExistAndIsNeverReplaced)
{
    // A damaged folder still runs (the show reports each missing file itself).
    const data_choice named = choose_data_dir({{"/mine", data_origin::option}}, none, one_of({"/mine"}));
    ASSERT_TRUE(named.found);
    EXPECT_EQ(named.where.dir, "/mine");

    const data_choice typo = choose_data_dir({{"/mnie", data_origin::environment}}, none, none);
    EXPECT_FALSE(typo.found);
    EXPECT_EQ(typo.error, "data folder /mnie ($THORNWAKE_DATA) is not a folder");
}

TEST(DataChoice, NothingFoundSaysWhereItLookedOnOneLine)
{
    const data_choice c = choose_data_dir(data_candidates({"", "", "/opt/tw/bin", "", ""}), none, none);
    EXPECT_FALSE(c.found);
    EXPECT_EQ(c.error,
              "no show data found; looked in /opt/tw/bin/data (beside the program), /opt/tw/share/thornwake "
              "(the install prefix). Write it with thornwake-datagen --out DIR, then pass --data DIR");
    EXPECT_EQ(c.error.find('\n'), std::string::npos);
    EXPECT_NE(choose_data_dir({}, none, none).error.find("looked in no folder"), std::string::npos);
}

TEST(OutputDir, BesideWritableDataElseXdgStateElseHome)
{
    const data_choice archive = found_at("/tmp/tw/data", data_origin::beside_program);
    EXPECT_EQ(choose_output_dir(archive, true, "/xdg", "/home/u"), "/tmp/tw/data");
    EXPECT_EQ(choose_output_dir(archive, false, "/xdg", "/home/u"), "/xdg/thornwake");
    EXPECT_EQ(choose_output_dir(archive, false, "", "/home/u"), "/home/u/.local/state/thornwake");
    // A relative XDG_STATE_HOME is invalid and ignored.
    EXPECT_EQ(choose_output_dir(archive, false, "state", "/home/u"), "/home/u/.local/state/thornwake");
    EXPECT_EQ(choose_output_dir(archive, false, "", ""), "");
}

TEST(OutputDir, NeverIntoAnInstalledCopyEvenWhenWritable)
{
    const data_choice installed = found_at("/usr/share/thornwake", data_origin::install_prefix);
    EXPECT_EQ(choose_output_dir(installed, true, "", "/root"), "/root/.local/state/thornwake");
}

TEST(VersionReport, NamesVersionFingerprintAndFolder)
{
    EXPECT_EQ(version_report("1.0.0", found_at("/usr/share/thornwake", data_origin::install_prefix), "0123456789ab"),
              "thornwake 1.0.0\ndata 0123456789ab in /usr/share/thornwake (the install prefix)\n");
    data_choice missing;
    missing.error = "no show data found; looked in no folder";
    EXPECT_EQ(version_report("1.0.0", missing, ""), "thornwake 1.0.0\ndata: no show data found; looked in no folder\n");
}

TEST(DataProbe, HoldsDataOnlyWithEveryEntry)
{
    temp_folder t;
    fill_data(t.path);
    EXPECT_TRUE(folder_holds_data(t.path.string()));
    fs::remove(t.path / "try1.sav");
    EXPECT_FALSE(folder_holds_data(t.path.string()));
    EXPECT_FALSE(folder_holds_data((t.path / "nowhere").string()));
}

TEST(DataProbe, FingerprintFollowsTheDataNotItsPlaceOrOutputs)
{
    temp_folder a, b;
    fill_data(a.path);
    fill_data(b.path);
    const std::string fa = data_fingerprint(a.path.string());
    EXPECT_EQ(fa.size(), 12u);
    EXPECT_EQ(fa.find_first_not_of("0123456789abcdef"), std::string::npos);
    EXPECT_EQ(data_fingerprint(b.path.string()), fa);

    // The program's own outputs beside the data do not count.
    write(b.path / "logs/shiftling2.log", "1 2 3");
    write(b.path / "state.txt", "bookmarks");
    EXPECT_EQ(data_fingerprint(b.path.string()), fa);

    // One byte deep in a folder, a renamed file, bytes moved across a file boundary.
    write(b.path / "imageseq/00001.jpeg", "jpeg2");
    EXPECT_NE(data_fingerprint(b.path.string()), fa);
    fill_data(b.path);
    fs::rename(b.path / "imageseq/00001.jpeg", b.path / "imageseq/00002.jpeg");
    EXPECT_NE(data_fingerprint(b.path.string()), fa);
    fs::remove(b.path / "imageseq/00002.jpeg");
    fill_data(b.path);
    ASSERT_EQ(data_fingerprint(b.path.string()), fa);
    write(b.path / "imageseq/00000.jpeg", "jpeg0j");
    write(b.path / "imageseq/00001.jpeg", "peg1");
    EXPECT_NE(data_fingerprint(b.path.string()), fa);
}

TEST(DataProbe, EnvironmentFolderIsMadeAbsolute)
{
    // The show chdirs into the data folder: a relative name must not be read from inside it.
    ::setenv("THORNWAKE_DATA", "some/data", 1);
    const data_search s = current_data_search("", "/w/build", "/w/data");
    ::unsetenv("THORNWAKE_DATA");
    EXPECT_EQ(s.env_dir, (fs::current_path() / "some/data").string());
    EXPECT_FALSE(s.program_dir.empty());
}

TEST(RunOptions, VersionIsLeftToMainWithTheDataFolderParsed)
{
    run_options o;
    const char* argv[] = {"thornwake", "--version", "--data", "/mine"};
    EXPECT_EQ(parse_run_options(4, argv, o), 0);
    EXPECT_TRUE(o.version);
    EXPECT_EQ(o.data_dir, "/mine");
}
