// The party's painted pictures: each character's face in the party bar's four
// states and its full figure for the inventory screen, as painted and as the
// game loads them from the demo archive.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <tuple>
#include <utility>

#include "portrait_art.h"

#ifdef VORTHAN_DEMO_PORTRAITS
#include "base/paths.h"
#include "core/archive.h"
#include "core/decoders.h"
#include "core/handles.h"
#include "gfx/picture.h"
#endif

namespace {

using namespace portrait_art;
using forge::paint::rect;

float luminance(const canvas& c, int x, int y) {
    const rgb p = c.get(x, y);
    return 0.3f * p.r + 0.59f * p.g + 0.11f * p.b;
}

struct stats {
    float mean = 0, spread = 0;  // over the opaque pixels
    int opaque = 0;
};

stats measure(const canvas& c, const rect& r) {
    double sum = 0, sum2 = 0;
    stats s;
    for (int y = r.y; y < r.y + r.h; ++y)
        for (int x = r.x; x < r.x + r.w; ++x) {
            if (c.alpha(x, y) < 0.5f) continue;
            const float l = luminance(c, x, y);
            sum += l, sum2 += l * l, ++s.opaque;
        }
    if (s.opaque == 0) return s;
    s.mean = static_cast<float>(sum / s.opaque);
    s.spread = static_cast<float>(std::sqrt(std::max(0.0, sum2 / s.opaque - s.mean * s.mean)));
    return s;
}

// Mean absolute difference of the colours of two equally large areas.
float difference(const canvas& a, const rect& ra, const canvas& b, const rect& rb) {
    double d = 0;
    for (int y = 0; y < ra.h; ++y)
        for (int x = 0; x < ra.w; ++x) {
            const rgb p = a.get(ra.x + x, ra.y + y), q = b.get(rb.x + x, rb.y + y);
            d += std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b);
        }
    return static_cast<float>(d / (3.0 * ra.w * ra.h));
}

rect state_area(int state) {
    return {0, state * FACE_H, FACE_W, FACE_H};
}

TEST(PartyPortraits, EveryFaceIsFourOpaquePaintedStatesOfTheBarsSize) {
    ASSERT_EQ(party_looks().size(), 4u);
    for (const look& who : party_looks()) {
        const canvas c = paint_face_states(who);
        ASSERT_EQ(c.width(), 54) << who.name;
        ASSERT_EQ(c.height(), 4 * 75) << who.name;
        for (int state = 0; state < FACE_STATES; ++state) {
            const stats s = measure(c, state_area(state));
            EXPECT_EQ(s.opaque, FACE_W * FACE_H) << who.name << " state " << state;  // no holes on the bar
            EXPECT_GT(s.spread, 0.06f) << who.name << " state " << state;            // shaded, not flat
        }
    }
}

TEST(PartyPortraits, EachStateLooksWorseThanTheOneBefore) {
    for (const look& who : party_looks()) {
        const canvas c = paint_face_states(who);
        // The face itself changes from state to state, not only the light.
        for (int state = 1; state < FACE_STATES; ++state) {
            const rect before = state_area(state - 1), now = state_area(state);
            EXPECT_GT(difference(c, {18, before.y + 20, 18, 30}, c, {18, now.y + 20, 18, 30}), 0.008f)
                << who.name << " state " << state;
        }
        // Near death the picture has sunk into shadow.
        EXPECT_LT(measure(c, state_area(3)).mean, measure(c, state_area(0)).mean) << who.name;
    }
}

TEST(PartyPortraits, FourCharactersHaveDistinctFacesAndPortraitNumbers) {
    const auto& looks = party_looks();
    for (size_t i = 0; i < looks.size(); ++i)
        for (size_t j = i + 1; j < looks.size(); ++j) {
            EXPECT_NE(looks[i].face, looks[j].face);
            const canvas a = paint_face_states(looks[i]), b = paint_face_states(looks[j]);
            // The head alone, without the backdrop's edges.
            const rect head{12, 6, 30, 45};
            EXPECT_GT(difference(a, head, b, head), 0.05f) << looks[i].name << " / " << looks[j].name;
        }
    int women = 0;
    for (const look& who : looks) women += who.female;
    EXPECT_EQ(women, 2);
}

TEST(PartyFigures, FigureStandsOnTheGroundWithTransparentSurround) {
    for (const look& who : party_looks()) {
        const canvas c = paint_body(who);
        ASSERT_EQ(c.width(), 194) << who.name;
        ASSERT_EQ(c.height(), 340) << who.name;
        for (auto [x, y] : {std::pair{0, 0}, {193, 0}, {0, 339}, {193, 339}})
            EXPECT_LT(c.alpha(x, y), 0.5f) << who.name;
        int lowest = -1, highest = -1;
        for (int y = 0; y < BODY_H; ++y)
            for (int x = 0; x < BODY_W; ++x)
                if (c.alpha(x, y) >= 0.5f) {
                    if (highest < 0) highest = y;
                    lowest = y;
                }
        EXPECT_NEAR(lowest, BODY_GROUND, 3) << who.name;
        EXPECT_LT(highest, 25) << who.name;
        const stats s = measure(c, {0, 0, BODY_W, BODY_H});
        EXPECT_GT(s.opaque, BODY_W * BODY_H / 6) << who.name;
        EXPECT_GT(s.spread, 0.08f) << who.name;
    }
}

// Worn pictures are drawn per gender, so both figures of a gender must have
// the same outline below the head, and the genders different ones.
TEST(PartyFigures, FiguresOfOneGenderShareTheirOutlineBelowTheHead) {
    auto outline_difference = [](const look& a, const look& b) {
        const canvas ca = paint_body(a), cb = paint_body(b);
        int differing = 0;
        for (int y = 90; y < BODY_H; ++y)
            for (int x = 0; x < BODY_W; ++x)
                differing += (ca.alpha(x, y) >= 0.5f) != (cb.alpha(x, y) >= 0.5f);
        return differing;
    };
    const auto& looks = party_looks();  // Borin, Lenka, Tomas, Vesna
    EXPECT_LT(outline_difference(looks[0], looks[2]), 60);
    EXPECT_LT(outline_difference(looks[1], looks[3]), 400);  // Lenka's braid against Vesna's hair
    EXPECT_GT(outline_difference(looks[0], looks[1]), 2000);
}

#ifdef VORTHAN_DEMO_PORTRAITS

class DemoPortraits : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        path_table[PATH_GUI] = VORTHAN_DEMO_DIR "/graphics/basic";
        register_picture_decoders();
        register_archive(VORTHAN_DEMO_DIR "/VORTHAN.DDL");
    }
    static void TearDownTestSuite() { free_all_handles(); }
};

TEST_F(DemoPortraits, GameFindsEachCharactersFaceAndFigureUnderItsPortraitNumber) {
    handle_id id = 0x8100;
    for (const look& who : party_looks()) {
        char face[16], figure[16];
        std::snprintf(face, sizeof face, "XICHT%02x.PCX", who.face);
        std::snprintf(figure, sizeof figure, "CHAR%02x.PCX", who.face);
        for (auto [name, w, h] : {std::tuple{face, 54, 300}, {figure, 194, 340}}) {
            define_handle(id, name, decoder_for(decoder_id::pcx_to_pal8), PATH_GUI);
            const auto* p = static_cast<const picture*>(get_handle_data(id));
            ASSERT_NE(p, nullptr) << name;
            EXPECT_EQ(p->width, w) << name;
            EXPECT_EQ(p->height, h) << name;
            ++id;
        }
    }
}

#endif

}  // namespace
