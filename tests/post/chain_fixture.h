// What the post chain's GL tests share: an engine, a shader bank and the chain's targets
// for a screen of the given size, and the path of a file in the source tree's data folder.
#pragma once
#include "post/post_passes.h"
#include "render/render_engine.h"
#include "render/shader_bank.h"

#include <memory>
#include <string>

inline std::string source_data(const char* relative)
{
    return std::string(THORNWAKE_SOURCE_DATA_DIR) + "/" + relative;
}

struct chain_fixture {
    std::unique_ptr<render_engine> engine = std::make_unique<render_engine>();
    shader_bank bank;
    chain_targets t;

    chain_fixture(int width, int height)
    {
        t.width = width;
        t.height = height;
    }
};
