#include "assets/asset_registry.h"

static bool g_enabled = false;

std::vector<asset_record>& asset_table()
{
    static std::vector<asset_record> table;
    return table;
}

void set_asset_registry_enabled(bool on) { g_enabled = on; }

bool asset_registry_enabled() { return g_enabled; }

void register_asset(int kind, const std::string& path, long long size, int width, int height)
{
    if (!g_enabled) return;
    std::vector<asset_record>& table = asset_table();
    asset_record r;
    r.name = path;
    r.kind = kind;
    r.size = size;
    r.width = width;
    r.height = height;
    r.position = static_cast<int32_t>(table.size());
    table.push_back(std::move(r));
}
