// E(x) of the choreography: cosine_ease with p = 1, 0 for x <= 0 and 1 for x >= 1.
#pragma once
#include "render/screen.h"

inline double ease(double x) { return cosine_ease(x, 1.0); }
