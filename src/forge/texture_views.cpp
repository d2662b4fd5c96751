// Flat source pictures seen the way the player's view shows them.
#include "forge/texture_views.h"

#include <algorithm>
#include <cmath>

#include "forge/quantize.h"

namespace forge {

namespace {

// Each boundary of the view is the previous one shrunk by 1/3.33.
constexpr double SHRINK = 1.0 - 1.0 / 3.33;
// The near wall: 150 rows above the horizon and 305 below, 320 texture rows.
constexpr double HORIZON_ROW = 150.0 * FACE_HEIGHT / 455.0;
// Boundary 0 seen on the screen: edge 0 at 357 = half a cell, floor 305 rows
// below the horizon, ceiling 150 above.
constexpr double CELL_PIXELS = 714.0, FLOOR_DROP = 305.0, CEILING_RISE = 150.0;

// Where a side-picture column lies: its scale relative to the near end and
// how far along the face (0 = near end, 1 = far end) it is.
struct side_column {
    double scale, along, top, bottom;
};
side_column side_at(double t) {
    side_column c;
    c.scale = 1.0 - (1.0 - SHRINK) * t / SIDE_WIDTH;
    c.along = (1.0 / c.scale - 1.0) / (1.0 / SHRINK - 1.0);
    c.top = HORIZON_ROW * (1.0 - c.scale);
    c.bottom = HORIZON_ROW + (FACE_HEIGHT - HORIZON_ROW) * c.scale;
    return c;
}

// Supersampled rendering: fn(x, y, out rgba) for points inside the pixel.
template <typename Fn>
texture_canvas render(int width, int height, int sx, int sy, Fn fn) {
    texture_canvas out(width, height);
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) {
            float sum[4] = {0, 0, 0, 0};
            for (int j = 0; j < sy; j++)
                for (int i = 0; i < sx; i++) {
                    float s[4] = {0, 0, 0, 0};
                    fn(x + (i + 0.5) / sx, y + (j + 0.5) / sy, s);
                    for (int k = 0; k < 3; k++) sum[k] += s[k] * s[3];
                    sum[3] += s[3];
                }
            if (sum[3] > 0)
                out.set(x, y, sum[0] / sum[3], sum[1] / sum[3], sum[2] / sum[3], sum[3] / (sx * sy));
        }
    return out;
}

// A point of the floor (or ceiling) plane seen at distance dy from the
// horizon: which square and where inside it.
void surface_point(const texture_canvas& square, double x, double dy, double reference, float out[4]) {
    if (dy <= 0) return;
    const double z = reference / dy;  // 1 at boundary 0
    const double k = std::floor(std::log(z) / std::log(1.0 / SHRINK));
    const double zk = std::pow(1.0 / SHRINK, k), zk1 = zk / SHRINK;
    const double along = (z - zk) / (zk1 - zk);  // 0 at the square's near edge
    const double across = (x - 320.0) * z / CELL_PIXELS + 0.5;
    const double u = across - std::floor(across), v = 1.0 - along;
    square.sample(static_cast<float>(u * square.width), static_cast<float>(v * square.height), true, out);
    out[3] = 1.0f;
}

}  // namespace

texture_canvas resample(const texture_canvas& source, int width, int height, bool wrap) {
    if (source.width == width && source.height == height) return source;
    const int sx = std::max(1, (source.width + width - 1) / width);
    const int sy = std::max(1, (source.height + height - 1) / height);
    return render(width, height, sx, sy, [&](double x, double y, float out[4]) {
        source.sample(static_cast<float>(x * source.width / width),
                      static_cast<float>(y * source.height / height), wrap, out);
    });
}

texture_canvas front_wall_view(const texture_canvas& source) {
    return resample(source, FACE_WIDTH, FACE_HEIGHT, true);
}

texture_canvas side_wall_view(const texture_canvas& source, bool right) {
    const texture_canvas face = resample(source, FACE_WIDTH, FACE_HEIGHT, true);
    return render(SIDE_WIDTH, FACE_HEIGHT, 8, 2, [&](double t, double y, float out[4]) {
        const side_column c = side_at(t);
        if (y < c.top || y >= c.bottom) return;
        const double u = right ? 1.0 - c.along : c.along;
        const double v = (y - c.top) / (c.bottom - c.top) * FACE_HEIGHT;
        face.sample(static_cast<float>(u * FACE_WIDTH), static_cast<float>(v), true, out);
    });
}

texture_canvas floor_view(const texture_canvas& square) {
    return render(640, 200, 4, 4, [&](double x, double y, float out[4]) {
        surface_point(square, x, 160.0 + y - 112.0, FLOOR_DROP, out);
    });
}

texture_canvas ceiling_view(const texture_canvas& square) {
    return render(640, 90, 4, 4, [&](double x, double y, float out[4]) {
        surface_point(square, x, 112.0 - y, CEILING_RISE, out);
    });
}

texture_canvas secondary_side_view(const texture_canvas& picture, int x, int y, bool right) {
    // Render on a canvas larger than the side face, then cut around the point
    // where the player puts the picture's centre.
    const int margin_x = 60, margin_y = 80;
    const double left = x - picture.width / 2.0, top = (FACE_HEIGHT - y) - picture.height / 2.0;
    texture_canvas wide = render(
        SIDE_WIDTH + 2 * margin_x, FACE_HEIGHT + 2 * margin_y, 6, 2, [&](double t, double row, float out[4]) {
            const side_column c = side_at(t - margin_x);
            const double v = row - margin_y;
            if (c.scale <= 0.05) return;
            const double face_y = (v - c.top) / (c.bottom - c.top) * FACE_HEIGHT;
            const double face_x = (right ? 1.0 - c.along : c.along) * FACE_WIDTH;
            const double px = face_x - left, py = face_y - top;
            if (px < 0 || py < 0 || px >= picture.width || py >= picture.height) return;
            picture.sample(static_cast<float>(px), static_cast<float>(py), false, out);
        });
    const double centre_x = margin_x + (right ? FACE_WIDTH - x : x) * double(SIDE_WIDTH) / FACE_WIDTH;
    const double centre_y = margin_y + (FACE_HEIGHT - y);
    int half_w = 1, half_h = 1;
    for (int row = 0; row < wide.height; row++)
        for (int col = 0; col < wide.width; col++)
            if (wide.a[wide.at(col, row)] >= 0.5f) {
                half_w = std::max(half_w, static_cast<int>(std::ceil(std::fabs(col + 0.5 - centre_x) + 0.5)));
                half_h = std::max(half_h, static_cast<int>(std::ceil(std::fabs(row + 0.5 - centre_y) + 0.5)));
            }
    texture_canvas out(2 * half_w, 2 * half_h);
    const int x0 = static_cast<int>(std::lround(centre_x)) - half_w;
    const int y0 = static_cast<int>(std::lround(centre_y)) - half_h;
    for (int row = 0; row < out.height; row++)
        for (int col = 0; col < out.width; col++) {
            const int sx = x0 + col, sy = y0 + row;
            if (sx < 0 || sy < 0 || sx >= wide.width || sy >= wide.height) continue;
            const size_t p = wide.at(sx, sy);
            out.set(col, row, wide.r[p], wide.g[p], wide.b[p], wide.a[p]);
        }
    return out;
}

texture_canvas arch_half(const texture_canvas& face_source, bool right) {
    const texture_canvas face = resample(face_source, FACE_WIDTH, FACE_HEIGHT, false);
    texture_canvas out(FACE_WIDTH / 2, FACE_HEIGHT);
    for (int y = 0; y < FACE_HEIGHT; y++)
        for (int x = 0; x < FACE_WIDTH / 2; x++) {
            const size_t p = face.at(right ? FACE_WIDTH - 1 - x : x, y);
            out.set(x, y, face.r[p], face.g[p], face.b[p], face.a[p]);
        }
    return out;
}

indexed_image wall_picture(const texture_canvas& canvas) {
    indexed_image image = quantize(image_from_canvas(canvas), true);
    // Index 1 ends a row in the player: move its colour to the nearest other one.
    auto distance = [&](int a, int b) {
        int d = 0;
        for (int k = 0; k < 3; k++) {
            const int e = image.palette[a * 3 + k] - image.palette[b * 3 + k];
            d += e * e;
        }
        return d;
    };
    int nearest = 2;
    for (int i = 3; i < 256; i++)
        if (distance(1, i) < distance(1, nearest)) nearest = i;
    const bool index1_used = std::find(image.pixels.begin(), image.pixels.end(), 1) != image.pixels.end();
    if (index1_used) {
        bool nearest_used =
            std::find(image.pixels.begin(), image.pixels.end(), nearest) != image.pixels.end();
        if (!nearest_used) {
            // A free entry: it takes index 1's colour exactly.
            std::copy_n(&image.palette[3], 3, &image.palette[nearest * 3]);
        }
        std::replace(image.pixels.begin(), image.pixels.end(), uint8_t{1}, static_cast<uint8_t>(nearest));
    }
    image.palette[3] = 255, image.palette[4] = 0, image.palette[5] = 255;
    for (int y = 0; y < image.height; y++) {
        uint8_t* row = &image.pixels[static_cast<size_t>(y) * image.width];
        int last = image.width - 1;
        while (last >= 0 && row[last] == 0) last--;
        if (last + 1 < image.width) row[last + 1] = 1;
    }
    return image;
}

indexed_image surface_picture(const texture_canvas& canvas) {
    return quantize(image_from_canvas(canvas), false);
}

}  // namespace forge
