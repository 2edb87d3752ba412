// The generators' files on disk, read by path exactly as the show's loading reads them.
#include <gtest/gtest.h>

#include <cstring>

#include "assets/obj_mesh.h"
#include "assets/polygons.h"
#include "assets/recorded_path.h"
#include "datagen/camera_path.h"
#include "datagen/polygon_meshes.h"
#include "datagen/title_mesh.h"
#include "datagen/velocity_volume.h"
#include "assets/velocity_volume.h"
#include "temp_dir.h"

TEST(GeneratedFiles, LoadUnderTheNamesTheShowOpens) {
    temp_dir dir;
    std::string error;
    ASSERT_TRUE(generate_title_mesh(dir.path, error)) << error;
    ASSERT_TRUE(generate_box(dir.path, error)) << error;
    ASSERT_TRUE(generate_head(dir.path, error)) << error;
    ASSERT_TRUE(generate_path(dir.path, error)) << error;
    const std::string root = dir.path.string() + "/";

    obj_mesh title;
    ASSERT_TRUE(title.load_obj(root + "newneomeshes//thornwake.obj", false));
    ASSERT_EQ(title.group_starts.size(), 24u);
    for (size_t g = 0; g + 1 < title.group_starts.size(); ++g)
        EXPECT_LT(title.group_starts[g], title.group_starts[g + 1]) << "group " << g << " is empty";
    EXPECT_EQ(title.group_starts.back(), title.triangle_count);
    EXPECT_TRUE(title.has_normals);

    polygon_list box, head;
    read_polygons(root + "newneomeshes//thegoodbox.obj", box);
    read_polygons(root + "newneomeshes//thehead.obj", head);
    EXPECT_EQ(box.size(), 6u);
    EXPECT_EQ(head.size(), make_head().faces.size());

    recorded_path path;
    path.load_path(root + "try1.sav");
    EXPECT_EQ(path.points.size(), size_t(path_record_count));
}

TEST(GeneratedFiles, VelocityVolumeReadsWholeIntoTheParticleLoader) {
    temp_dir dir;
    std::string error;
    ASSERT_TRUE(generate_velocity_volume(dir.path, error)) << error;
    const volume_data volume = read_velocity_file((dir.path / "binaries/Velocity.dat").string());
    ASSERT_EQ(volume.bytes_read, volume_bytes);
    const velocity_field field(velocity_modes());
    const velocity_sample v = field.at(5, 200, 77);
    EXPECT_EQ(std::memcmp(&v, volume.texels.data() + volume_byte_offset(5, 200, 77) / 4, 12), 0);
}
