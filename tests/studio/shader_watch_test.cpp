#include "studio/shader_reload.h"
#include "studio/shader_watch.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

struct temp_folder {
    fs::path dir = fs::temp_directory_path() / ("tw_studio_watch_" + std::to_string(getpid()));
    temp_folder() { fs::create_directories(dir / "Materials"); }
    ~temp_folder() { fs::remove_all(dir); }
    std::string write(const std::string& name, const std::string& text) const
    {
        std::ofstream(dir / name, std::ios::binary) << text;
        return (dir / name).string();
    }
    // Moves the file's time on, as a save a while later does on any filesystem's clock.
    void touch_later(const std::string& name, int seconds) const
    {
        fs::last_write_time(dir / name, fs::last_write_time(dir / name) + std::chrono::seconds(seconds));
    }
};

}  // namespace

TEST(ShaderWatch, ReportsASaveOnceAfterItHoldsStill)
{
    temp_folder f;
    f.write("Materials/a.cpp", "void main() {}\n");
    f.write("Materials/b.cpp", "void main() {}\n");
    shader_watch w = watch_folders({(f.dir / "Materials").string(), (f.dir / "Missing").string()});
    ASSERT_EQ(w.files.size(), 2u);
    EXPECT_TRUE(poll_changes(w, 0.0).empty());

    // Written in two pieces: the second write restarts the wait.
    f.write("Materials/a.cpp", "void main() {");
    f.touch_later("Materials/a.cpp", 1);
    EXPECT_TRUE(poll_changes(w, 1.0).empty());
    f.write("Materials/a.cpp", "void main() { gl_FragColor = vec4(1.0); }\n");
    f.touch_later("Materials/a.cpp", 2);
    EXPECT_TRUE(poll_changes(w, 1.1).empty());
    EXPECT_TRUE(poll_changes(w, 1.2).empty());  // still settling
    const std::vector<std::string> ready = poll_changes(w, 1.3);
    ASSERT_EQ(ready.size(), 1u);
    EXPECT_EQ(fs::path(ready[0]).filename(), "a.cpp");
    EXPECT_TRUE(poll_changes(w, 2.0).empty());  // once only
}

TEST(ShaderWatch, PollsNoMoreOftenThanAsked)
{
    temp_folder f;
    f.write("Materials/a.cpp", "x");
    shader_watch w = watch_folders({(f.dir / "Materials").string()});
    EXPECT_TRUE(poll_changes(w, 0.0, 0.0, 0.5).empty());
    f.write("Materials/a.cpp", "xy");
    EXPECT_TRUE(poll_changes(w, 0.2, 0.0, 0.5).empty());   // too soon: not even looked at
    EXPECT_TRUE(poll_changes(w, 0.6, 0.0, 0.5).empty());   // seen changing
    EXPECT_EQ(poll_changes(w, 1.2, 0.0, 0.5).size(), 1u);  // held still
}

TEST(ShaderWatch, AFileRemovedWhileSavingWaitsUntilItIsBack)
{
    temp_folder f;
    f.write("Materials/a.cpp", "x");
    shader_watch w = watch_folders({(f.dir / "Materials").string()});
    fs::remove(f.dir / "Materials/a.cpp");
    EXPECT_TRUE(poll_changes(w, 1.0).empty());
    EXPECT_TRUE(poll_changes(w, 2.0).empty());
    f.write("Materials/a.cpp", "xyz");
    EXPECT_TRUE(poll_changes(w, 3.0).empty());
    EXPECT_EQ(poll_changes(w, 4.0).size(), 1u);
}

TEST(ShaderReloadTable, ProgramsUsingAFileMatchWhateverTheSlashes)
{
    const std::vector<program_source> table = {
        {1, "Materials//v_material1d.cpp", "Materials//f_material1.cpp"},
        {23, "Materials//v_material1d.cpp", "Materials//f_material1b.cpp"},
        {3, "", "PostProcessing//f_combineSSAO.cpp"},
    };
    EXPECT_EQ(programs_using(table, "Materials/v_material1d.cpp").size(), 2u);
    const std::vector<program_source> one = programs_using(table, "PostProcessing/f_combineSSAO.cpp");
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].slot, 3);
    EXPECT_TRUE(programs_using(table, "Materials/v_material1p.cpp").empty());
    EXPECT_TRUE(programs_using(table, "").empty());
}

TEST(ShaderReloadLog, DriverLinesGetTheFileAndLine)
{
    EXPECT_EQ(located_log("Materials/f.cpp", "0:12(3): error: `x' undeclared\n0:14(1): warning: w\n"),
              "Materials/f.cpp:12:3: error: `x' undeclared\nMaterials/f.cpp:14:1: warning: w\n");
    EXPECT_EQ(located_log("a.cpp", "0(7) : error C0000: syntax error"), "a.cpp:7: error C0000: syntax error\n");
    EXPECT_EQ(located_log("a.cpp", "error: linking failed\n\n"), "error: linking failed\n");
    EXPECT_EQ(located_log("a.cpp", ""), "");
}
