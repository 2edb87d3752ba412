#include "demo/spectrum_history.h"

#include <algorithm>
#include <iterator>

void advance_spectrum_history(float (&history)[spectrum_history_size], float newest)
{
    history[spectrum_history_centre] = newest;
    float old[spectrum_history_size];
    std::copy(std::begin(history), std::end(history), old);
    for (int j = 0; j < spectrum_history_centre; ++j) history[j] = 0.95f * old[j + 1];
    for (int k = spectrum_history_centre + 1; k < spectrum_history_size; ++k) history[k] = 0.95f * old[k - 1];
}
