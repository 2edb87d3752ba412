#include "app/clock.h"

#include "platform/platform.h"

static uint64_t counter_now(const clock_state& c) { return c.counter ? c.counter() : platform_counter(); }
static uint64_t counter_hz(const clock_state& c) { return c.frequency ? c.frequency() : platform_counter_frequency(); }

void clock_reset(clock_state& c)
{
    c.accumulated = 0;
    c.last_count = int64_t(counter_now(c));
}

double clock_read(clock_state& c)
{
    const int64_t now = int64_t(counter_now(c));
    c.accumulated += double(now - c.last_count) / double(int64_t(counter_hz(c)));
    c.last_count = now;
    c.last_reading = c.accumulated;
    return c.accumulated;
}
