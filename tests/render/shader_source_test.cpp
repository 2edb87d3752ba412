#include "render/shader_bank.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

std::string write_temp(const std::string& name, const std::string& bytes)
{
    const auto path = scratch_folder() / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
}

}  // namespace

TEST(ShaderSource, ReadsTheFileByteForByte)
{
    const std::string bytes = "void main()\r\n{\r\n}\r\n";
    EXPECT_EQ(shader_bank::read_shader_source(write_temp("crlf.cpp", bytes)), bytes);

    const std::string with_zero("a\0b", 3);
    const auto text = shader_bank::read_shader_source(write_temp("zero.cpp", with_zero));
    ASSERT_TRUE(text);
    EXPECT_EQ(text->size(), 3u);
    EXPECT_STREQ(text->c_str(), "a");  // what the GL sees: the source ends at the zero
}

TEST(ShaderSource, EmptyFileIsAnEmptyText)
{
    const auto text = shader_bank::read_shader_source(write_temp("empty.cpp", ""));
    ASSERT_TRUE(text);
    EXPECT_TRUE(text->empty());
}

TEST(ShaderSource, MissingFileSaysSoAndGivesNoText)
{
    testing::internal::CaptureStdout();
    const auto text = shader_bank::read_shader_source("no/such/dir/f_missing.cpp");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Cannot open shader source file.\n");
    EXPECT_FALSE(text);
}
