// The generator table's bookkeeping: what runs, what is skipped, what a failure leaves.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>

#include "datagen/output_file.h"
#include "datagen/runner.h"
#include "temp_dir.h"

namespace fs = std::filesystem;

namespace {

std::map<std::string, int> runs;

bool make_a(const fs::path& out, std::string& error) {
    ++runs["a"];
    return write_output(out, "sub/a.txt", "alpha", error);
}

bool make_b(const fs::path& out, std::string& error) {
    ++runs["b"];
    return write_output(out, "b.txt", "beta", error);
}

bool broken(const fs::path&, std::string& error) {
    ++runs["broken"];
    error = "out of ink";
    return false;
}

std::vector<generator> table(std::string version_b = "1") {
    return {{"a", "1", {"sub/a.txt"}, make_a}, {"b", version_b, {"b.txt"}, make_b}};
}

std::string read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

TEST(Runner, SecondRunIsANoOpUntilForcedOrStale) {
    temp_dir dir;
    runs.clear();
    ASSERT_EQ(run_generators(table(), {dir.path}), 0);
    EXPECT_EQ(read(dir.path / "sub/a.txt"), "alpha");
    EXPECT_EQ(runs["a"], 1);

    ASSERT_EQ(run_generators(table(), {dir.path}), 0);
    EXPECT_EQ(runs["a"], 1);
    EXPECT_EQ(runs["b"], 1);

    ASSERT_EQ(run_generators(table("2"), {dir.path}), 0);  // b changed
    EXPECT_EQ(runs["a"], 1);
    EXPECT_EQ(runs["b"], 2);

    fs::remove(dir.path / "sub/a.txt");  // a lost its file
    ASSERT_EQ(run_generators(table("2"), {dir.path}), 0);
    EXPECT_EQ(runs["a"], 2);
    EXPECT_EQ(runs["b"], 2);

    ASSERT_EQ(run_generators(table("2"), {dir.path, true}), 0);
    EXPECT_EQ(runs["a"], 3);
    EXPECT_EQ(runs["b"], 3);
}

TEST(Runner, FailureStopsTheRunAndIsNotStamped) {
    temp_dir dir;
    runs.clear();
    std::vector<generator> t = table();
    t.insert(t.begin() + 1, {"broken", "1", {}, broken});
    EXPECT_EQ(run_generators(t, {dir.path}), 1);
    EXPECT_EQ(runs["b"], 0);
    EXPECT_EQ(run_generators(t, {dir.path}), 1);
    EXPECT_EQ(runs["a"], 1);  // what succeeded stays done
    EXPECT_EQ(runs["broken"], 2);
}

TEST(Runner, UnwritableFolderFailsWithItsName) {
    temp_dir dir;
    std::ofstream(dir.path / "plain-file") << "x";
    runs.clear();
    EXPECT_EQ(run_generators(table(), {dir.path / "plain-file" / "data"}), 1);

    std::string error;
    EXPECT_FALSE(write_file_atomic(dir.path / "plain-file" / "a.txt", "x", error));
    EXPECT_NE(error.find("plain-file"), std::string::npos) << error;
}

TEST(Runner, FailedWriteLeavesNoFileBehind) {
    temp_dir dir;
    fs::create_directories(dir.path / "taken");  // a folder where the file should go
    std::string error;
    EXPECT_FALSE(write_file_atomic(dir.path / "taken", "bytes", error));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 1);
    EXPECT_TRUE(write_file_atomic(dir.path / "fresh.bin", "bytes", error));
    EXPECT_EQ(read(dir.path / "fresh.bin"), "bytes");
}

TEST(Command, HelpSucceedsAndABadFolderFails) {
    const std::string tool = std::string(THORNWAKE_BINARY_DIR) + "/thornwake-datagen";
    EXPECT_EQ(std::system((tool + " --help > /dev/null").c_str()), 0);
    EXPECT_NE(std::system((tool + " > /dev/null 2>&1").c_str()), 0);
    temp_dir dir;
    std::ofstream(dir.path / "plain-file") << "x";
    const std::string log = (dir.path / "log").string();
    EXPECT_NE(std::system((tool + " --out " + (dir.path / "plain-file").string() + " 2> " + log).c_str()), 0);
    EXPECT_NE(read(log).find("cannot write"), std::string::npos) << read(log);
}
