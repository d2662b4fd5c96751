#include "sound/tone_control.h"

#include <cmath>
#include <numbers>

biquad make_shelf(shelf_kind kind, float gain_db, float f0, float rate) {
  biquad q;
  if (gain_db == 0.0f || rate <= 0.0f) return q;
  const double a = std::pow(10.0, gain_db / 40.0);
  const double w0 = 2.0 * std::numbers::pi * f0 / rate;
  const double cs = std::cos(w0);
  const double alpha = std::sin(w0) / 2.0 * std::sqrt(2.0);
  const double two_sqrt_a_alpha = 2.0 * std::sqrt(a) * alpha;
  double b0, b1, b2, a0, a1, a2;
  if (kind == shelf_kind::low) {
    b0 = a * ((a + 1) - (a - 1) * cs + two_sqrt_a_alpha);
    b1 = 2 * a * ((a - 1) - (a + 1) * cs);
    b2 = a * ((a + 1) - (a - 1) * cs - two_sqrt_a_alpha);
    a0 = (a + 1) + (a - 1) * cs + two_sqrt_a_alpha;
    a1 = -2 * ((a - 1) + (a + 1) * cs);
    a2 = (a + 1) + (a - 1) * cs - two_sqrt_a_alpha;
  } else {
    b0 = a * ((a + 1) + (a - 1) * cs + two_sqrt_a_alpha);
    b1 = -2 * a * ((a - 1) + (a + 1) * cs);
    b2 = a * ((a + 1) + (a - 1) * cs - two_sqrt_a_alpha);
    a0 = (a + 1) - (a - 1) * cs + two_sqrt_a_alpha;
    a1 = 2 * ((a - 1) - (a + 1) * cs);
    a2 = (a + 1) - (a - 1) * cs - two_sqrt_a_alpha;
  }
  q.b0 = static_cast<float>(b0 / a0);
  q.b1 = static_cast<float>(b1 / a0);
  q.b2 = static_cast<float>(b2 / a0);
  q.a1 = static_cast<float>(a1 / a0);
  q.a2 = static_cast<float>(a2 / a0);
  return q;
}

void tone_control::set_bass(float db) {
  bass_db = db;
  low_shelf = make_shelf(shelf_kind::low, bass_db, bass_corner, rate);
}

void tone_control::set_treble(float db) {
  treble_db = db;
  high_shelf = make_shelf(shelf_kind::high, treble_db, treble_corner, rate);
}

void tone_control::set_rate(float hz) {
  rate = hz;
  set_bass(bass_db);
  set_treble(treble_db);
}
