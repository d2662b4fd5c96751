#pragma once
// Bass and treble of one output channel: a low shelf at 200 Hz and a high
// shelf at 2000 Hz (shelf slope 1), as biquads in transposed direct form II.
struct biquad {
  float b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
  float z1 = 0, z2 = 0;

  float process(float x) {
    const float y = b0 * x + z1;
    z1 = b1 * x - a1 * y + z2;
    z2 = b2 * x - a2 * y;
    return y;
  }
};

enum class shelf_kind { low, high };

// The shelf's coefficients for a gain in dB at corner `f0` and sample `rate`;
// 0 dB gives the plain pass-through biquad, so the signal is left untouched
// bit for bit. The state is cleared.
biquad make_shelf(shelf_kind kind, float gain_db, float f0, float rate);

struct tone_control {
  float rate = 44100.0f;
  float bass_db = 0.0f;
  float treble_db = 0.0f;
  float bass_corner = 200.0f;
  float treble_corner = 2000.0f;
  biquad low_shelf;
  biquad high_shelf;

  void set_bass(float db);
  void set_treble(float db);
  void set_rate(float hz);
  float process(float x) { return high_shelf.process(low_shelf.process(x)); }
};
