// The developer tools name their outputs with drive letters ("c://logs//shiftling2.log").
// Here they land relative to the working directory, folders created as needed.
#pragma once
#include <string>

// "c://logs//shiftling2.log" → "logs/shiftling2.log"; "C:/grainwell/" → "grainwell/".
std::string local_path(const std::string& drive_path);

// local_path under root, which may be empty (the working directory): the program's
// outputs move out of the data folder when that cannot be written.
std::string output_path(const std::string& root, const std::string& drive_path);
// output_path, and creates the folders it lies in.
std::string prepare_output_path(const std::string& root, const std::string& drive_path);
