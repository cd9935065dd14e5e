// The OpenAL Soft outputs: the default device, and the loopback device that
// the platform clock mixes (platform/sound.h).
#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "platform/clock.h"
#include "platform/sound.h"

namespace {

// What both outputs share: the use count, the context and the streams.
class OpenAlOutput : public PlatformSound {
 public:
  ~OpenAlOutput() override { CloseDevice(); }

  bool Acquire() override {
    if (users_ > 0) {
      ++users_;
      return true;
    }
    if (!OpenDevice()) {
      CloseDevice();
      return false;
    }
    context_ = alcCreateContext(device_, ContextAttributes());
    if (!context_ || !alcMakeContextCurrent(context_)) {
      CloseDevice();
      return false;
    }
    // Sounds are placed by their pan alone: no attenuation by distance.
    alDistanceModel(AL_NONE);
    users_ = 1;
    Started();
    return true;
  }

  void Release() override {
    if (users_ == 0) return;
    if (--users_ == 0) CloseDevice();
  }

  void AddStream(AudioStream* stream) override {
    std::lock_guard<std::mutex> hold(streamLock_);
    if (std::find(streams_.begin(), streams_.end(), stream) == streams_.end()) streams_.push_back(stream);
  }
  void RemoveStream(AudioStream* stream) override {
    std::lock_guard<std::mutex> hold(streamLock_);
    streams_.erase(std::remove(streams_.begin(), streams_.end(), stream), streams_.end());
  }

 protected:
  virtual bool OpenDevice() = 0;
  virtual const ALCint* ContextAttributes() { return nullptr; }
  virtual void Started() {}
  virtual void Stopping() {}

  void ServiceStreams() {
    std::lock_guard<std::mutex> hold(streamLock_);
    for (AudioStream* stream : streams_) stream->Service();
  }

  void CloseDevice() {
    Stopping();
    users_ = 0;
    if (context_) {
      if (alcGetCurrentContext() == context_) alcMakeContextCurrent(nullptr);
      alcDestroyContext(context_);
      context_ = nullptr;
    }
    if (device_) {
      alcCloseDevice(device_);
      device_ = nullptr;
    }
  }

  ALCdevice* device_ = nullptr;
  ALCcontext* context_ = nullptr;
  int users_ = 0;

 private:
  std::mutex streamLock_;
  std::vector<AudioStream*> streams_;
};

class OpenAlDevice : public OpenAlOutput {
 public:
  ~OpenAlDevice() override { CloseDevice(); }
  const char* Name() const override { return "OpenAL"; }
  int OutputRate() const override {
    ALCint rate = 0;
    if (device_) alcGetIntegerv(device_, ALC_FREQUENCY, 1, &rate);
    return rate;
  }

 protected:
  bool OpenDevice() override {
    device_ = alcOpenDevice(nullptr);
    return device_ != nullptr;
  }
  // The device mixes on its own thread; streams are fed every 20 ms, far
  // inside the second of sound they keep queued.
  void Started() override {
    stop_ = false;
    thread_ = std::thread([this] {
      while (!stop_) {
        ServiceStreams();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      }
    });
  }
  void Stopping() override {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }

 private:
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

constexpr int kLoopbackRate = 22050;
// Mixed in steps of 10 ms so streams are fed between steps.
constexpr int kLoopbackStep = kLoopbackRate / 100;
constexpr uint32_t kLoopbackMaxGapMs = 2000;

class OpenAlLoopback : public OpenAlOutput {
 public:
  ~OpenAlLoopback() override { CloseDevice(); }
  const char* Name() const override { return "OpenAL loopback"; }
  int OutputRate() const override { return device_ ? kLoopbackRate : 0; }
  void SetCapture(std::vector<int16_t>* out) override { capture_ = out; }

  void Pump() override {
    if (!device_ || !render_) return;
    const uint32_t now = timeGetTime();
    uint32_t gap = now - lastPump_;
    lastPump_ = now;
    if (gap > kLoopbackMaxGapMs) gap = kLoopbackMaxGapMs;
    // Whole frames for the elapsed milliseconds; the remainder carries over.
    const uint64_t scaled = static_cast<uint64_t>(gap) * kLoopbackRate + remainder_;
    int frames = static_cast<int>(scaled / 1000);
    remainder_ = static_cast<uint32_t>(scaled % 1000);
    int16_t block[kLoopbackStep * 2];
    while (frames > 0) {
      const int n = std::min(frames, kLoopbackStep);
      render_(device_, block, n);
      if (capture_) capture_->insert(capture_->end(), block, block + 2 * n);
      frames -= n;
      ServiceStreams();
    }
  }

 protected:
  bool OpenDevice() override {
    auto open = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
    render_ = reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
    if (!open || !render_) return false;
    device_ = open(nullptr);
    return device_ != nullptr;
  }
  const ALCint* ContextAttributes() override {
    static const ALCint attributes[] = {ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT, ALC_FORMAT_TYPE_SOFT, ALC_SHORT_SOFT,
                                        ALC_FREQUENCY, kLoopbackRate, ALC_HRTF_SOFT, ALC_FALSE, 0};
    return attributes;
  }
  void Started() override {
    lastPump_ = timeGetTime();
    remainder_ = 0;
  }

 private:
  LPALCRENDERSAMPLESSOFT render_ = nullptr;
  std::vector<int16_t>* capture_ = nullptr;
  uint32_t lastPump_ = 0;
  uint32_t remainder_ = 0;
};

}  // namespace

std::unique_ptr<PlatformSound> OpenAlDeviceCreate() { return std::make_unique<OpenAlDevice>(); }
std::unique_ptr<PlatformSound> OpenAlLoopbackCreate() { return std::make_unique<OpenAlLoopback>(); }
