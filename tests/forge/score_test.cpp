// Scores: faults reported at their line, the length and placing of what is
// rendered, and the music surviving the MUS encoder.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "forge/mus_writer.h"
#include "forge/score_source.h"
#include "sound/mus_parser.h"

namespace {

const char* const instruments =
    "instrument soft\n"
    "  layer triangle\n"
    "    envelope 0.01 0.1 0.6 0.05\n"
    "  layer sine 2\n"
    "    gain 0.3\n";

std::string error_of(const std::string& source) {
    try {
        forge::parse_score(source, "t.score");
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "(no error)";
}

TEST(ScoreSource, FaultsAreReportedAtTheirLine) {
    const std::string head = instruments;  // five lines
    const struct {
        std::string body;
        const char* where;
    } cases[] = {
        {"voice a soft\n  play c4 x4\n", "t.score:7: \"x4\" is not a note"},
        {"voice a soft\n  play c4/3.5\n", "t.score:7: \"c4/3.5\": a length"},
        {"voice a soft\n  play c4/0\n", "t.score:7:"},
        {"voice a harp\n  play c4\n", "t.score:6: no instrument harp"},
        {"voice a soft\n  repeat 2\n  play c4\n", "t.score:7: repeat without an end"},
        {"voice a soft\n  play c4\n  end\n", "t.score:8: end without a repeat"},
        {"voice a soft\n  play c4\nvoice a soft\n", "t.score:8: voice a twice"},
        {"voice a soft\n  play c8+g8\n", "t.score:7: g8 is too high"},
        {"voice a soft\n  pan 2\n", "t.score:7: 2 is outside -1 to 1"},
        {"voice a soft\n  envelope 0 0 1 0\n", "t.score:7: unknown keyword \"envelope\" in a voice"},
        {"voice a soft\n  repeat 64\n  repeat 64\n  repeat 64\n  play c4/64 d4 e4 f4\n  end\n  end\n  end\n",
         "t.score:13: more than"},
        {"voice a soft\n  play r/1\n", "(no error)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(error_of(head + c.body).rfind(c.where, 0), 0u) << error_of(head + c.body);
    EXPECT_EQ(error_of("instrument a\ninstrument b\n  layer sine\n"), "t.score:1: instrument a has no layer");
    EXPECT_EQ(error_of("tempo 90\n\n# nothing else\n"), "t.score:1: the score has no voice");
    EXPECT_EQ(error_of("layer sine\n"), "t.score:1: a layer belongs to an instrument");
}

TEST(ScoreSource, NotesAreEqualTemperedFromA440) {
    EXPECT_DOUBLE_EQ(forge::note_frequency("a4"), 440.0);
    EXPECT_NEAR(forge::note_frequency("c4"), 261.6256, 1e-3);
    EXPECT_DOUBLE_EQ(forge::note_frequency("bb3"), forge::note_frequency("a#3"));
    EXPECT_DOUBLE_EQ(forge::note_frequency("b3") * 2, forge::note_frequency("b4"));
    for (const char* bad : {"h4", "c", "c9", "cb", "c#", "c44", "bb"})
        EXPECT_EQ(forge::note_frequency(bad), 0) << bad;
}

TEST(ScoreSource, LengthsRepeatsAndTheLongestVoiceSetTheLength) {
    const forge::score s =
        forge::parse_score(std::string(instruments) +
                               "tempo 120\n"
                               "voice tune soft\n"
                               "  repeat 3\n"
                               "    play c4/4 f#4 | e4/2. # a quarter, a quarter, a dotted half\n"
                               "  end\n"
                               "  play r/8 g4/16\n"
                               "voice low soft\n"
                               "  play c3/1 c3/1\n",
                           "t.score");
    ASSERT_EQ(s.voices.size(), 2u);
    const forge::score_voice& tune = s.voices[0];
    ASSERT_EQ(tune.notes.size(), 10u);
    EXPECT_DOUBLE_EQ(tune.notes[1].frequencies.at(0), forge::note_frequency("f#4"));
    // Three bars of 5 beats at half a second each, an eighth rest, a sixteenth.
    EXPECT_DOUBLE_EQ(tune.notes[3].start, 5 * 0.5);
    EXPECT_DOUBLE_EQ(tune.notes[8].length, 3 * 0.5);
    EXPECT_DOUBLE_EQ(tune.notes[9].start, 15.5 * 0.5);
    EXPECT_DOUBLE_EQ(s.length(), 15.75 * 0.5);
    EXPECT_EQ(forge::render_score(s).size(), 2 * size_t(std::llround(s.length() * 22050)));
}

TEST(ScoreSource, PanPlacesAVoiceAndTailsComeRoundToTheStart) {
    const forge::score s = forge::parse_score(
        "instrument bell\n"
        "  layer sine\n"
        "    envelope 0 0 1 0.4\n"  // released over 0.4 s after the note
        "tempo 60\n"
        "voice v bell\n"
        "  pan -1\n"
        "  play r/4 a4/4\n",  // silent first second, then a second of a4
        "t.score");
    const std::vector<int16_t> out = forge::render_score(s);
    ASSERT_EQ(out.size(), 2u * 44100);
    int right = 0, start = 0, middle = 0;
    for (size_t f = 0; f < out.size() / 2; ++f) right = std::max(right, std::abs(out[f * 2 + 1]));
    for (size_t f = 100; f < 4000; ++f) start = std::max(start, std::abs(out[f * 2]));
    for (size_t f = 16000; f < 22000; ++f) middle = std::max(middle, std::abs(out[f * 2]));
    EXPECT_EQ(right, 0);
    // The release of the last note sounds at the start of the piece, where
    // the piece begins again when it loops; the rest after it is silent.
    EXPECT_GT(start, 10000);
    EXPECT_EQ(middle, 0);
}

TEST(ScoreSource, ARenderedScoreSurvivesTheMusEncoder) {
    const forge::score s = forge::parse_score(std::string(instruments) +
                                                  "echo 0.3 0.4\n"
                                                  "voice a soft\n"
                                                  "  pan -0.5\n"
                                                  "  play e4/8 g4 a4 c5 b4/4 g4 | e4+g4+c5/2\n"
                                                  "voice b soft\n"
                                                  "  pan 0.5\n"
                                                  "  play c3/2 a2/2\n",
                                              "t.score");
    const std::vector<int16_t> music = forge::render_score(s);
    const std::vector<uint8_t> file = forge::encode_mus(music, s.rate);
    MUSStreamParser parser(file.data(), file.size());
    ASSERT_TRUE(parser.opened());
    std::vector<int16_t> decoded;
    for (auto chunk = parser.read(); !chunk.empty(); chunk = parser.read()) {
        const size_t at = decoded.size();
        decoded.resize(at + chunk.size() / 2);
        std::memcpy(decoded.data() + at, chunk.data(), chunk.size());
    }
    ASSERT_EQ(decoded.size(), music.size());
    double signal = 0, noise = 0;
    for (size_t i = 0; i < music.size(); ++i) {
        signal += double(music[i]) * music[i];
        noise += double(decoded[i] - music[i]) * (decoded[i] - music[i]);
    }
    EXPECT_GT(signal, 0);
    EXPECT_GT(10 * std::log10(signal / std::max(noise, 1.0)), 40.0);
}

}  // namespace
