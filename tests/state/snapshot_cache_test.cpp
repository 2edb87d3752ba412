#include "state/snapshot_cache.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

const snapshot_shape shape{400, 80, 90};

sim_snapshot at_step(int64_t step)
{
    sim_snapshot s;
    s.step = step;
    s.main_state.assign(shape.main_floats, 0.5f * static_cast<float>(step));
    s.splash_state.assign(shape.splash_floats, 1.0f);
    s.box_positions.assign(shape.box_floats, 2.4f);
    s.box_colours.assign(shape.box_floats, 1.0f);
    s.seq_request = static_cast<int32_t>(step);
    return s;
}

void write_text(const fs::path& p, const std::string& text) { std::ofstream(p, std::ios::binary) << text; }

class state_cache : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = fs::temp_directory_path() /
               ("tw_state_" + std::to_string(getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root);
    }
    void TearDown() override { fs::remove_all(root); }
    snapshot_cache open(uint64_t key, int keep = 1) { return open_snapshot_cache(root.string(), key, shape, keep); }
    fs::path root;
};

}  // namespace

TEST_F(state_cache, LoadsTheHighestStepAtOrBefore)
{
    const snapshot_cache c = open(0xABCull);
    EXPECT_EQ(c.dir, (root / "0000000000000abc").string());
    for (int64_t step : {0, 600, 1200}) ASSERT_TRUE(cache_store(c, at_step(step)));
    EXPECT_TRUE(fs::exists(root / "0000000000000abc" / "00000600.snap"));
    EXPECT_TRUE(cache_has(c, 600));
    EXPECT_FALSE(cache_has(c, 601));
    write_text(fs::path(c.dir) / "notes.txt", "kept");  // not a snapshot: left alone

    EXPECT_EQ(cache_load_at_or_before(c, 599)->step, 0);
    EXPECT_EQ(cache_load_at_or_before(c, 600)->seq_request, 600);
    EXPECT_EQ(cache_load_at_or_before(c, 99999)->step, 1200);
    EXPECT_FALSE(cache_load_at_or_before(c, -1));
    EXPECT_EQ(cache_bytes(c), fs::file_size(snapshot_path(c, 0)) + fs::file_size(snapshot_path(c, 600)) +
                                  fs::file_size(snapshot_path(c, 1200)) + 4);

    // A snapshot of another size or step is refused rather than saved where it cannot load.
    testing::internal::CaptureStderr();
    sim_snapshot wrong = at_step(1800);
    wrong.box_positions.pop_back();
    EXPECT_FALSE(cache_store(c, wrong));
    EXPECT_FALSE(cache_store(c, at_step(-60)));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 2) << err;
    EXPECT_FALSE(cache_has(c, 1800));
}

TEST_F(state_cache, DamagedFileIsRejectedDeletedAndTheLowerOneUsed)
{
    const snapshot_cache c = open(7);
    const snapshot_cache other = open(8, 2);
    for (int64_t step : {60, 120, 180, 240}) ASSERT_TRUE(cache_store(c, at_step(step)));
    ASSERT_TRUE(cache_store(other, at_step(300)));
    fs::resize_file(snapshot_path(c, 240), 100);                                // truncated
    fs::copy_file(snapshot_path(other, 300), snapshot_path(c, 300));          // another key
    fs::rename(snapshot_path(c, 60), snapshot_path(c, 200));                  // name and content disagree
    {
        std::fstream f(snapshot_path(c, 180), std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(200);
        f.put('\x5a');  // inside the stream
    }

    testing::internal::CaptureStderr();
    const std::optional<sim_snapshot> s = cache_load_at_or_before(c, 10000);
    const std::string err = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(s);
    EXPECT_EQ(s->step, 120);
    for (int64_t gone : {300, 240, 200, 180}) {
        EXPECT_FALSE(cache_has(c, gone));
        EXPECT_NE(err.find("thornwake: snapshot " + snapshot_path(c, gone) + " rejected ("), std::string::npos) << err;
    }
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 4) << err;
    EXPECT_NE(err.find("(truncated payload); recomputing it\n"), std::string::npos) << err;
    EXPECT_NE(err.find("(made under another key); recomputing it\n"), std::string::npos) << err;
    EXPECT_NE(err.find("(holds step 60); recomputing it\n"), std::string::npos) << err;
}

TEST_F(state_cache, KeepsOnlyTheNewestOtherKeysAndStaleTemporariesGo)
{
    const auto now = fs::file_time_type::clock::now();
    for (int k = 1; k <= 4; ++k) {
        const snapshot_cache c = open(k, 9);
        cache_store(c, at_step(k));
        fs::last_write_time(c.dir, now - std::chrono::hours(10 - k));  // key 4 is the newest
    }
    fs::create_directories(root / "not-a-key");
    const fs::path stale = root / "0000000000000009" / "00000001.snap.tmp-1-0";
    const fs::path fresh = root / "0000000000000009" / "00000002.snap.tmp-1-1";
    fs::create_directories(stale.parent_path());
    write_text(stale, "x");
    write_text(fresh, "x");
    fs::last_write_time(stale, now - std::chrono::hours(1));
    fs::last_write_time(root / "0000000000000009", now - std::chrono::hours(20));

    open(9);
    EXPECT_TRUE(fs::exists(root / "0000000000000004"));
    EXPECT_FALSE(fs::exists(root / "0000000000000003"));
    EXPECT_FALSE(fs::exists(root / "0000000000000001"));
    EXPECT_TRUE(fs::exists(root / "not-a-key"));
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(fresh));

    // Opening made key 9 the newest: switching back to key 4 keeps 9 and drops nothing else.
    open(4, 1);
    EXPECT_TRUE(fs::exists(root / "0000000000000009"));
    open(4, 0);
    EXPECT_FALSE(fs::exists(root / "0000000000000009"));
}

TEST_F(state_cache, UnusableRootTurnsCachingOffWithOneLine)
{
    write_text(root / "file", "");
    for (const std::string& bad : {std::string(), (root / "file").string()}) {
        testing::internal::CaptureStderr();
        const snapshot_cache c = open_snapshot_cache(bad, 1, shape);
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(c.dir, "");
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
        testing::internal::CaptureStderr();
        EXPECT_FALSE(cache_store(c, at_step(0)));
        EXPECT_FALSE(cache_load_at_or_before(c, 0));
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");  // said once, at open
    }
}

TEST(state_cache_root, FollowsXdgCacheHomeThenHome)
{
    struct saved_env {
        const char* name;
        std::optional<std::string> value;
        explicit saved_env(const char* n) : name(n) { if (const char* v = std::getenv(n)) value = v; }
        ~saved_env() { value ? setenv(name, value->c_str(), 1) : unsetenv(name); }
    } xdg("XDG_CACHE_HOME"), home("HOME");

    setenv("XDG_CACHE_HOME", "/x/cache", 1);
    setenv("HOME", "/home/u", 1);
    EXPECT_EQ(default_cache_root(), "/x/cache/thornwake");
    setenv("XDG_CACHE_HOME", "relative", 1);  // invalid for XDG: ignored
    EXPECT_EQ(default_cache_root(), "/home/u/.cache/thornwake");
    setenv("XDG_CACHE_HOME", "", 1);
    EXPECT_EQ(default_cache_root(), "/home/u/.cache/thornwake");
    unsetenv("XDG_CACHE_HOME");
    unsetenv("HOME");
    EXPECT_EQ(default_cache_root(), "");
}

// A run under LP_PERF=no_linear steps another simulation; its snapshots must not be the
// ones a plain run seeks from.
TEST(state_cache_key, RendererSettingsThatChangeResultsAreNamed)
{
    EXPECT_EQ(renderer_settings([](const char*) -> const char* { return nullptr; }), "");
    EXPECT_EQ(renderer_settings([](const char*) -> const char* { return ""; }), "");  // as Mesa reads it
    EXPECT_EQ(renderer_settings([](const char* name) -> const char* {
                  return std::string(name) == "LP_PERF" ? "no_linear" : std::string(name) == "HOME" ? "/h" : nullptr;
              }),
              "LP_PERF=no_linear\n");
    EXPECT_NE(renderer_settings([](const char*) -> const char* { return "1"; }).find("GALLIVM_PERF=1\n"),
              std::string::npos);
}

TEST(state_content_hash, AnyChangedByteChangesTheHash)
{
    // Lengths cover the 32-byte blocks, the 8-byte tail and the partial last word.
    for (size_t n = 0; n < 80; ++n) {
        std::vector<uint8_t> bytes(n, 0x11);
        const uint64_t base = hash_bytes(bytes);
        for (size_t i = 0; i < n; ++i) {
            bytes[i] ^= 0x40;
            EXPECT_NE(hash_bytes(bytes), base) << n << " " << i;
            bytes[i] ^= 0x40;
        }
        bytes.push_back(0);
        EXPECT_NE(hash_bytes(bytes), base) << "zero appended to " << n;
        EXPECT_NE(hash_bytes({bytes.data(), n}, 1), base);
    }
}

TEST_F(state_cache, FileHashFollowsContentOrderAndMissingFiles)
{
    fs::create_directories(root / "a" / "deep");
    write_text(root / "a" / "deep" / "two", std::string(3000, 'q'));
    write_text(root / "a" / "one", "first");
    write_text(root / "b", "not under a");
    fs::create_directories(root / "a" / "empty");
    const std::vector<std::string> files = files_under({(root / "a").string(), (root / "nowhere").string()});
    ASSERT_EQ(files, (std::vector<std::string>{(root / "a" / "deep" / "two").string(), (root / "a" / "one").string()}));

    const uint64_t h = hash_files(files);
    write_text(root / "a" / "deep" / "two", std::string(2999, 'q') + "r");
    EXPECT_NE(hash_files(files), h);
    write_text(root / "a" / "deep" / "two", std::string(3000, 'q'));
    EXPECT_EQ(hash_files(files), h);
    EXPECT_NE(hash_files({files[1], files[0]}), h);

    const std::string missing = (root / "missing").string();
    write_text(root / "empty", "");
    EXPECT_NE(hash_files({missing}), hash_files({(root / "empty").string()}));
    EXPECT_NE(hash_files({missing}), hash_files({missing + "2"}));
}
