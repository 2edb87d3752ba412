// The show's clocks and where the music meets them. The show and the data generator that
// writes its music both keep to these, so they are named once, here.
#pragma once

// The part's clock runs this much faster than show time.
inline constexpr double scene_clock_rate = 1.113;
// Show time 0 meets the music this far into the track.
inline constexpr double music_offset_seconds = 50.0;
// The show ends at this show time.
inline constexpr double show_end_time = 198.0;
