// The arrangement against the choreography: every cue is hit to the sample, the sections
// follow the picture, and the notes stay in key.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "datagen/music/arrangement.h"
#include "datagen/music/cues.h"
#include "datagen/music/score.h"

using namespace music;

namespace {

bool is_attack(voice v) {
    return v == voice::kick || v == voice::crash || v == voice::impact || v == voice::stab || v == voice::tom ||
           v == voice::clap;
}

}  // namespace

TEST(Cues, PartClockMapsOntoTheTrack) {
    EXPECT_DOUBLE_EQ(track_time_of(0), 50.0);
    EXPECT_NEAR(track_time_of(187), 50.0 + 187 / 1.113, 1e-12);
    EXPECT_EQ(sample_at_scene_time(0), 2205000);  // where the show starts the stream
    EXPECT_EQ(sample_at_scene_time(209), std::llround((50.0 + 209 / 1.113) * 44100));
    EXPECT_NEAR(scene_time_of(track_time_of(123.4)), 123.4, 1e-9);
}

TEST(Cues, TableIsSortedAndInsideTheShow) {
    const auto cues = show_cues();
    ASSERT_GE(cues.size(), 25u);
    for (size_t i = 1; i < cues.size(); ++i) EXPECT_LT(cues[i - 1].scene_time, cues[i].scene_time);
    // The show ends at 198 s of show time; the last cue must sound before that.
    EXPECT_LT(track_time_of(cues.back().scene_time), 50.0 + 198.0);
    EXPECT_GE(track_length_s, 250.0);
}

TEST(Cues, RegularCuesFallOnBarLines) {
    // Bars are counted from each section start; the quantiser pulses every four seconds
    // of the part's clock land on the first beat of a bar.
    const auto secs = sections();
    for (double t : {187.0, 191.0, 195.0, 199.0, 203.0}) {
        const auto it = std::find_if(secs.begin(), secs.end(), [&](const section& s) { return s.start == t; });
        ASSERT_NE(it, secs.end()) << t;
    }
    for (const section& s : secs) {
        const double beats = s.start / beat_scene_s;
        EXPECT_NEAR(beats, std::round(beats), 1e-9) << s.start;
    }
}

TEST(Sections, EverySceneChangeStartsASectionAndViceVersa) {
    std::set<double> section_cues, section_starts;
    for (const cue& c : show_cues())
        if (c.kind == cue_kind::section) section_cues.insert(c.scene_time);
    for (const section& s : sections())
        if (s.start > 0) section_starts.insert(s.start);
    EXPECT_EQ(section_cues, section_starts);
    // A proper intro before the show joins the track.
    EXPECT_LE(track_time_of(sections().front().start), 2.0);
}

TEST(Score, EveryCueHasAnAttackOnItsExactSample) {
    const std::vector<note_event> score = build_score();
    for (const cue& c : show_cues()) {
        const int64_t at = sample_at_scene_time(c.scene_time);
        const bool found = std::any_of(score.begin(), score.end(),
                                       [&](const note_event& e) { return e.start == at && is_attack(e.kind); });
        EXPECT_TRUE(found) << "nothing lands on the cue at " << c.scene_time;
    }
}

TEST(Score, RisersEndOnTheSectionTheyLeadInto) {
    const std::vector<note_event> score = build_score();
    std::set<int64_t> starts;
    for (const section& s : sections()) starts.insert(sample_at_scene_time(s.start));
    int risers = 0;
    for (const note_event& e : score) {
        if (e.kind != voice::riser) continue;
        ++risers;
        const int64_t end = e.start + static_cast<int64_t>(e.length_s * 44100.0f);
        const auto next = starts.lower_bound(end - 2);
        ASSERT_NE(next, starts.end());
        EXPECT_LE(std::llabs(*next - end), 2) << "riser from sample " << e.start;
    }
    EXPECT_GE(risers, 6);
}

TEST(Score, SortedInsideTheTrackAndInKey) {
    const std::vector<note_event> score = build_score();
    ASSERT_GT(score.size(), 1000u);
    // A natural minor, plus the raised seventh of the E major turnaround.
    const std::set<int> scale = {9, 11, 0, 2, 4, 5, 7, 8};
    const int64_t end = sample_at_track_time(track_length_s);
    for (size_t i = 0; i < score.size(); ++i) {
        const note_event& e = score[i];
        ASSERT_GE(e.start, 0);
        ASSERT_LT(e.start, end);
        if (i) {
            ASSERT_LE(score[i - 1].start, e.start);
        }
        if (e.kind == voice::bass || e.kind == voice::pad || e.kind == voice::pluck || e.kind == voice::lead) {
            EXPECT_TRUE(scale.count(static_cast<int>(e.pitch) % 12)) << e.pitch;
        }
    }
}

TEST(Score, ShowPartHasDrumsBassChordsAndMelody) {
    const std::vector<note_event> score = build_score();
    std::set<voice> used;
    for (const note_event& e : score)
        if (e.start >= sample_at_scene_time(0)) used.insert(e.kind);
    for (voice v : {voice::kick, voice::snare, voice::clap, voice::hat, voice::bass, voice::pad, voice::pluck,
                    voice::lead, voice::crash, voice::riser})
        EXPECT_TRUE(used.count(v)) << static_cast<int>(v);
}
