#include "tools/asset_list.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>

namespace {
void line(std::ostream& out, const std::string& text = {}) { out << text << '\n' << std::flush; }

void copy_without_overwrite(const std::string& from, const std::string& to)
{
    std::error_code ec;
    const std::filesystem::path target(to);
    if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path(), ec);
    std::filesystem::copy_file(from, target, std::filesystem::copy_options::skip_existing, ec);
}

// Lists (and copies) each name of the kind once, at its first occurrence.
int list_distinct(std::ostream& out, const std::vector<asset_record>& table, int kind, const std::string& copy_dir)
{
    int count = 0;
    std::set<std::string> seen;
    for (const asset_record& r : table) {
        if (r.kind != kind || !seen.insert(r.name).second) continue;
        line(out, "Name  : " + r.name);
        ++count;
        copy_without_overwrite(r.name, copy_dir + r.name);
    }
    return count;
}
}  // namespace

void write_asset_list(std::ostream& out, std::vector<asset_record>& table, double load_seconds,
                      const std::string& copy_dir)
{
    long long bytes = 0;
    line(out);
    line(out, "-- JPG LIST");
    for (const asset_record& r : table) {
        if (r.kind != asset_kind_image) continue;
        out << r.name << " (" << r.width << "," << r.height << ") @ " << r.position << " position. ";
        line(out);
        bytes += 3LL * r.width * r.height;
    }
    line(out);
    line(out, "-- 3DS LIST");
    for (const asset_record& r : table) {
        if (r.kind != asset_kind_mesh) continue;
        out << r.name << " " << r.position << " position. ";
        line(out);
        bytes += 3LL * r.width * r.height;
    }
    line(out);
    out << "Total : " << table.size() << " files,  " << bytes << " bytes";
    line(out);
    out << "Loadtime :" << load_seconds;
    line(out);
    line(out);

    // Only names and kinds travel; the other fields stay in their rows.
    std::vector<std::pair<std::string, int>> keys;
    for (const asset_record& r : table) keys.emplace_back(r.name, r.kind);
    std::stable_sort(keys.begin(), keys.end(), [](auto& a, auto& b) { return a.first < b.first; });
    for (size_t i = 0; i < table.size(); ++i) std::tie(table[i].name, table[i].kind) = keys[i];
    line(out);

    line(out, "-- JPG Sorted");
    for (const asset_record& r : table)
        if (r.kind == asset_kind_image) line(out, "Name  : " + r.name);
    line(out);
    line(out, "-- JPG LIST");
    int sorted = list_distinct(out, table, asset_kind_image, copy_dir);
    line(out);
    line(out, "-- 3DS LIST");
    sorted += list_distinct(out, table, asset_kind_mesh, copy_dir);
    line(out);
    out << "Total sorted : " << sorted << std::flush;
}
