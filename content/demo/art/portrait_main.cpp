// Paints the party's pictures into PNG files named as the game loads them
// once turned into PCX: "xicht<nn>.png" (the face in four states) and
// "char<nn>.png" (the full figure), <nn> the portrait number in two
// lower-case hex digits. With --sheet, also one picture showing them all side
// by side on the inventory screen's dark ground, and "<sheet>_faces.png" with
// the faces enlarged, for looking them over.
//
//   demo_art_portraits <out folder> [--sheet <sheet.png>]
#include <cstdio>
#include <exception>
#include <string>

#include "portrait_art.h"

namespace {

using namespace portrait_art;
using forge::paint::rgb8;

std::string numbered(const char* stem, int face) {
    char name[32];
    std::snprintf(name, sizeof name, "%s%02x", stem, face);
    return name;
}

canvas sheet() {
    const auto& looks = party_looks();
    const int n = static_cast<int>(looks.size());
    canvas s(n * (BODY_W + FACE_W + 16) + 8, BODY_H + 16);
    forge::paint::fill(s, {0, 0, s.width(), s.height()}, [](int, int) { return rgb8(40, 34, 30); });
    for (int i = 0; i < n; ++i) {
        const int x = 8 + i * (BODY_W + FACE_W + 16);
        s.paste(paint_face_states(looks[i]), x, 8);
        s.paste(paint_body(looks[i]), x + FACE_W + 6, 8);
    }
    return s;
}

// The faces three times enlarged, each character's four states in a row,
// two characters to a row of the sheet.
canvas faces_enlarged() {
    constexpr int K = 3;
    const auto& looks = party_looks();
    const int rows = (static_cast<int>(looks.size()) + 1) / 2;
    canvas s(2 * FACE_STATES * FACE_W * K, rows * FACE_H * K);
    for (size_t i = 0; i < looks.size(); ++i) {
        const canvas f = paint_face_states(looks[i]);
        const int x0 = static_cast<int>(i % 2) * FACE_STATES * FACE_W * K,
                  y0 = static_cast<int>(i / 2) * FACE_H * K;
        for (int y = 0; y < FACE_H * K; ++y)
            for (int x = 0; x < FACE_STATES * FACE_W * K; ++x) {
                const int state = x / (FACE_W * K), fx = (x % (FACE_W * K)) / K, fy = state * FACE_H + y / K;
                s.set(x0 + x, y0 + y, f.get(fx, fy));
            }
    }
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && !(argc == 4 && std::string(argv[2]) == "--sheet")) {
        std::fprintf(stderr, "usage: %s <out folder> [--sheet <sheet.png>]\n", argv[0]);
        return 2;
    }
    try {
        const std::string out = argv[1];
        for (const look& who : party_looks()) {
            forge::write_png_file(out + "/" + numbered("xicht", who.face) + ".png",
                                  forge::paint::to_image(paint_face_states(who)));
            forge::write_png_file(out + "/" + numbered("char", who.face) + ".png",
                                  forge::paint::to_image(paint_body(who)));
        }
        if (argc == 4) {
            const std::string path = argv[3], stem = path.substr(0, path.rfind('.'));
            forge::write_png_file(path, forge::paint::to_image(sheet()));
            forge::write_png_file(stem + "_faces.png", forge::paint::to_image(faces_enlarged()));
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
