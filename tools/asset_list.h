// The developer's asset list: a report of the JPG and mesh files the loaders registered,
// and a copy of each distinct file into a collection folder.
#pragma once
#include <ostream>
#include <string>
#include <vector>

#include "assets/asset_registry.h"

// Writes the report to out (nothing when out has failed) and copies each distinct file to
// copy_dir + name, never overwriting. The table is reordered by name, as the report shows.
void write_asset_list(std::ostream& out, std::vector<asset_record>& table, double load_seconds,
                      const std::string& copy_dir);
