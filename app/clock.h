// The show's clock: seconds accumulated from the high-resolution counter since the last reset.
#pragma once
#include "app/demo_state.h"

void clock_reset(clock_state& c);
double clock_read(clock_state& c);
