// What the loaders read, for the developer asset list. Off unless a developer switch turns
// it on, so the show does not grow a table with every video frame it decodes.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

enum : int32_t { asset_kind_image = 0, asset_kind_mesh = 1 };

struct asset_record {
    std::string name;      // the path as loaded
    int32_t unused = 0;
    int32_t position = 0;  // order of registration
    int32_t width = 0;     // images only
    int32_t height = 0;
    int32_t kind = asset_kind_image;
    long long size = 0;    // bytes in the file
};

std::vector<asset_record>& asset_table();
void set_asset_registry_enabled(bool on);
bool asset_registry_enabled();

// Adds a record when the registry is enabled; otherwise does nothing.
void register_asset(int kind, const std::string& path, long long size, int width = 0,
                    int height = 0);
