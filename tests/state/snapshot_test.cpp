#include "state/snapshot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

namespace {

constexpr uint64_t key = 0x0123456789ABCDEFull;

sim_snapshot random_snapshot(size_t particles, size_t splash, size_t texels, uint32_t seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> pos(-4, 4);
    sim_snapshot s;
    s.step = 123456;
    for (size_t i = 0; i < 4 * particles; ++i) s.main_state.push_back(pos(rng));
    for (size_t i = 0; i < 4 * splash; ++i) s.splash_state.push_back(pos(rng));
    for (size_t i = 0; i < 3 * texels; ++i) s.box_positions.push_back(i % 5 ? 2.4f : pos(rng));
    for (size_t i = 0; i < 3 * texels; ++i) s.box_colours.push_back(i % 7 ? 1.0f : 0.2f);
    s.lead[1] = -1.5f;
    s.lead_read = 1;
    s.lead_followed[2] = 0.25f;
    s.seq_request = 274;
    return s;
}

template <class T>
bool same_bits(const T& a, const T& b)
{
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof a[0]) == 0);
}

bool same(const sim_snapshot& a, const sim_snapshot& b)
{
    return a.step == b.step && same_bits(a.main_state, b.main_state) && same_bits(a.splash_state, b.splash_state) &&
           same_bits(a.box_positions, b.box_positions) && same_bits(a.box_colours, b.box_colours) && std::memcmp(a.lead, b.lead, sizeof a.lead) == 0 &&
           a.lead_read == b.lead_read && std::memcmp(a.lead_followed, b.lead_followed, sizeof a.lead_followed) == 0 &&
           a.seq_request == b.seq_request;
}

std::optional<sim_snapshot> decode(const std::vector<uint8_t>& bytes, const snapshot_shape& shape, std::string& why)
{
    return decode_snapshot(bytes, key, shape, why);
}

}  // namespace

TEST(state_snapshot, RoundTripsEveryFieldBitForBit)
{
    sim_snapshot s = random_snapshot(1000, 300, 500, 1);
    // Odd values the particles can hold must come back unchanged, NaN payloads included.
    s.main_state[0] = std::numeric_limits<float>::quiet_NaN();
    s.main_state[5] = -0.0f;
    s.splash_state[3] = std::numeric_limits<float>::infinity();
    s.box_positions[7] = std::numeric_limits<float>::denorm_min();
    std::string why = "stale";
    const std::optional<sim_snapshot> back = decode(encode_snapshot(s, key), shape_of(s), why);
    ASSERT_TRUE(back) << why;
    EXPECT_TRUE(same(*back, s));
    EXPECT_EQ(why, "");

    // Empty populations and sizes that are no whole particle or texel.
    for (const sim_snapshot& odd : {random_snapshot(0, 0, 0, 2), sim_snapshot{7, {1, 2, 3}, {4}, {5, 6, 7, 8, 9}, {1, 0, 1, 0, 1}}}) {
        const std::optional<sim_snapshot> again = decode(encode_snapshot(odd, key), shape_of(odd), why);
        ASSERT_TRUE(again) << why;
        EXPECT_TRUE(same(*again, odd));
    }
}

TEST(state_snapshot, ParticlesAtRestAndARepeatedBoxCompressFar)
{
    sim_snapshot s;
    for (int i = 0; i < 20000; ++i) s.main_state.insert(s.main_state.end(), {0.0f, 2.4f, 0.0f, 0.5f});
    for (int i = 0; i < 20000; ++i) s.box_positions.insert(s.box_positions.end(), {0.0f, 2.4f, 0.0f});
    s.box_colours.assign(s.box_positions.size(), 1.0f);
    const size_t raw = 4 * (s.main_state.size() + 2 * s.box_positions.size());
    EXPECT_LT(encode_snapshot(s, key).size(), raw / 50);
}

TEST(state_snapshot, RejectsEveryKindOfDamage)
{
    const sim_snapshot s = random_snapshot(300, 100, 200, 3);
    const snapshot_shape shape = shape_of(s);
    const std::vector<uint8_t> good = encode_snapshot(s, key);
    auto rejected = [&](const std::vector<uint8_t>& bytes, const snapshot_shape& as, const char* reason) {
        std::string why;
        const bool refused = !decode(bytes, as, why);
        EXPECT_NE(why.find(reason), std::string::npos) << why;
        return refused;
    };

    EXPECT_TRUE(rejected({}, shape, "empty"));
    for (size_t n = 1; n < good.size(); n += n < 80 ? 1 : 37) {
        SCOPED_TRACE(n);
        EXPECT_TRUE(rejected({good.begin(), good.begin() + n}, shape, n < 64 ? "truncated header" : "truncated payload"));
    }

    // Every header byte is checked. In the stream, only the padding bits after the last
    // block can change without notice, and those never change the state.
    for (size_t at = 0; at < good.size(); at += at < 64 ? 1 : 7)
        for (uint8_t flip : {0x01, 0x80, 0xFF}) {
            std::vector<uint8_t> bad = good;
            bad[at] ^= flip;
            std::string why;
            const std::optional<sim_snapshot> back = decode(bad, shape, why);
            EXPECT_TRUE(!back || (at >= 64 && same(*back, s))) << "byte " << at << " ^ " << int(flip);
        }

    std::string why;
    EXPECT_FALSE(decode_snapshot(good, key + 1, shape, why));
    EXPECT_EQ(why, "made under another key");
    for (snapshot_shape other : {snapshot_shape{1196, 400, 600}, snapshot_shape{1200, 404, 600},
                                 snapshot_shape{1200, 400, 597}, snapshot_shape{1200, 400, size_t(1) << 60}}) {
        EXPECT_TRUE(rejected(good, other, "sizes differ"));
    }
    std::vector<uint8_t> longer = good;
    longer.push_back(0);
    EXPECT_TRUE(rejected(longer, shape, "trailing bytes"));
    std::vector<uint8_t> newer = good;
    newer[6] = 3;
    EXPECT_TRUE(rejected(newer, shape, "version 3"));
    std::vector<uint8_t> older = good;  // before the box colours were kept
    older[6] = 1;
    EXPECT_TRUE(rejected(older, shape, "version 1"));
    std::vector<uint8_t> negative = good;
    negative[23] = 0x80;
    EXPECT_TRUE(rejected(negative, shape, "negative step"));
}

TEST(state_snapshot, InflatesNoMoreThanTheShapeAllows)
{
    // A stream that holds more (or less) than its header claims: the header is edited to a
    // smaller shape, so only the inflated length can give it away.
    const sim_snapshot big = random_snapshot(300, 100, 200, 4);
    const std::vector<uint8_t> bytes = encode_snapshot(big, key);
    for (size_t main : {size_t(1000), size_t(1400)}) {
        std::vector<uint8_t> edited = bytes;
        for (int i = 0; i < 8; ++i) edited[24 + i] = static_cast<uint8_t>(main >> (8 * i));
        std::string why;
        EXPECT_FALSE(decode(edited, {main, 400, 600}, why));
        EXPECT_EQ(why, main < 1200 ? "payload does not fit its sizes" : "payload shorter than its sizes");
    }
}
