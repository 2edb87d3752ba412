// thornwake-datagen: writes the show's data files into a folder (normally data/).
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "datagen/film.h"
#include "datagen/icon.h"
#include "datagen/music/music.h"
#include "datagen/polygon_meshes.h"
#include "datagen/camera_path.h"
#include "datagen_source_hash.h"
#include "datagen/runner.h"
#include "datagen/title_mesh.h"
#include "datagen/velocity_volume.h"

namespace {

std::vector<std::string> film_outputs() {
    std::vector<std::string> names;
    for (int k = 0; k < film_frame_count; ++k) names.push_back(film_frame_name(k));
    return names;
}

// Each stamp line carries a hash of the sources that wrote it: editing any of these
// generators makes all of them run again, since they share helpers; the soundtrack has
// its own.
std::string version(const char* own) { return std::string(own) + "-" + datagen_source_hash; }
std::string music_version(const char* own) { return std::string(own) + "-" + datagen_music_hash; }

const std::vector<generator>& generators() {
    static const std::vector<generator> table = {
        {"title-mesh", version("1"), {"newneomeshes/thornwake.obj"}, generate_title_mesh},
        {"box-mesh", version("1"), {"newneomeshes/thegoodbox.obj"}, generate_box},
        {"head-mesh", version("1"), {"newneomeshes/thehead.obj"}, generate_head},
        {"image-sequence", version("1"), film_outputs(), generate_film},
        {"velocity-volume", version("1"), {"binaries/Velocity.dat"}, generate_velocity_volume},
        {"recorded-path", version("1"), {"try1.sav"}, generate_path},
        {"music", music_version("1"), {"music/PS.mp3", "music/Kelpwander sfx.mp3"}, generate_music},
    };
    return table;
}

void usage(std::FILE* to) {
    std::fprintf(to,
                 "usage: thornwake-datagen --out DIR [--force]\n"
                 "       thornwake-datagen --icons DIR\n"
                 "Writes the show's data files into DIR: newneomeshes/, imageseq/, binaries/,\n"
                 "try1.sav and the music. Files already written by this version are kept\n"
                 "(DIR/.datagen-stamp records them); --force writes everything again.\n"
                 "--icons writes the program's icon as DIR/hicolor/<N>x<N>/apps/thornwake.png.\n");
}

}  // namespace

int main(int argc, char** argv) {
    run_options options;
    std::string icon_dir;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
            usage(stdout);
            return 0;
        } else if (!std::strcmp(argv[i], "--force")) {
            options.force = true;
        } else if (!std::strcmp(argv[i], "--out") && i + 1 < argc) {
            options.out_dir = argv[++i];
        } else if (!std::strcmp(argv[i], "--icons") && i + 1 < argc) {
            icon_dir = argv[++i];
        } else {
            std::fprintf(stderr, "thornwake-datagen: unknown argument '%s'\n", argv[i]);
            usage(stderr);
            return 2;
        }
    }
    if (!icon_dir.empty()) {
        std::string error;
        if (write_icons(icon_dir, error)) return 0;
        std::fprintf(stderr, "thornwake-datagen: %s\n", error.c_str());
        return 1;
    }
    if (options.out_dir.empty()) {
        std::fprintf(stderr, "thornwake-datagen: --out DIR is required\n");
        usage(stderr);
        return 2;
    }
    return run_generators(generators(), options);
}
