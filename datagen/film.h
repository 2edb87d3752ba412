// The image sequence "imageseq/00000.jpeg" .. "00549.jpeg": a dancing figure, 640 x 480
// grey, flat tones with strong steps between them, so that after the show's blur the Canny
// edges trace the figure's parts and nothing else.
#pragma once
#include <filesystem>
#include <string>

#include <opencv2/core.hpp>

inline constexpr int film_frame_count = 550;
inline constexpr int film_width = 640, film_height = 480;

// "imageseq/00042.jpeg"
std::string film_frame_name(int frame);

// Frame k as the show will see it (before JPEG).
cv::Mat render_film_frame(int frame);

// Where the figure is in frame k: 255 on the figure, 0 on the background.
cv::Mat film_subject_mask(int frame);

// JPEG bytes of frame k.
std::string encode_film_frame(int frame);

bool generate_film(const std::filesystem::path& out_dir, std::string& error);
