// The silent output's thread: wakes every few milliseconds and lets the pump catch up with
// its clock, the way a sound card would pull.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "sound/silent_pump.h"
#include "sound/sound_sink.h"

namespace {

constexpr auto tick = std::chrono::milliseconds(5);

class silent_sink final : public sound_sink {
public:
    silent_sink(mixer& m, std::function<double()> clock)
        : pump_(m), clock_(std::move(clock)), start_(clock_()), thread_([this] { run(); })
    {
    }
    ~silent_sink() override
    {
        {
            std::lock_guard<std::mutex> hold(lock_);
            stopping_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }

private:
    void run()
    {
        std::unique_lock<std::mutex> hold(lock_);
        while (!wake_.wait_for(hold, tick, [this] { return stopping_; })) pump_.advance_to(clock_() - start_);
    }

    silent_pump pump_;
    std::function<double()> clock_;
    double start_;  // read on opening: time runs from there, however late the thread starts
    std::mutex lock_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread thread_;  // last: starts once the rest is built
};

}  // namespace

std::unique_ptr<sound_sink> open_silent_sink(mixer& m, std::function<double()> clock)
{
    return std::make_unique<silent_sink>(m, std::move(clock));
}
