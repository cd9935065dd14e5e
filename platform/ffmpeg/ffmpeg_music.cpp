// Music tracks decoded by FFmpeg into 16-bit stereo at 44100 Hz and queued
// on an OpenAL source a few buffers ahead; the audio output services the
// stream (platform/sound.h).
#include <AL/al.h>
#include <dirent.h>

#include <cctype>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include "platform/backend.h"
#include "platform/framework/window_manager.h"
#include "platform/mci.h"
#include "platform/music.h"
#include "platform/video.h"

namespace {

constexpr int kRate = 44100;
constexpr int kBufferFrames = 4096;  // about 93 ms
constexpr int kQueued = 4;

// "trackNN.ext" with a known extension, any case: NN, else 0.
int TrackOfFileName(const char* name) {
  std::string lower(name);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (lower.size() < 9 || lower.compare(0, 5, "track") != 0 || !std::isdigit(static_cast<unsigned char>(lower[5])) ||
      !std::isdigit(static_cast<unsigned char>(lower[6])) || lower[7] != '.')
    return 0;
  const std::string ext = lower.substr(8);
  if (ext != "ogg" && ext != "flac" && ext != "wav" && ext != "mp3") return 0;
  return (lower[5] - '0') * 10 + (lower[6] - '0');
}

// One open track: container, decoder and the resampler to the output form.
class TrackDecoder {
 public:
  ~TrackDecoder() { Close(); }
  bool Open(const std::string& path) {
    if (avformat_open_input(&format_, path.c_str(), nullptr, nullptr) < 0) return false;
    if (avformat_find_stream_info(format_, nullptr) < 0) return false;
    stream_ = av_find_best_stream(format_, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (stream_ < 0) return false;
    const AVCodecParameters* parameters = format_->streams[stream_]->codecpar;
    const AVCodec* codec = avcodec_find_decoder(parameters->codec_id);
    if (!codec || !(codec_ = avcodec_alloc_context3(codec)) ||
        avcodec_parameters_to_context(codec_, parameters) < 0 || avcodec_open2(codec_, codec, nullptr) < 0)
      return false;
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    if (codec_->ch_layout.nb_channels < 1 || codec_->sample_rate < 1) return false;
    if (swr_alloc_set_opts2(&resampler_, &stereo, AV_SAMPLE_FMT_S16, kRate, &codec_->ch_layout, codec_->sample_fmt,
                            codec_->sample_rate, 0, nullptr) < 0 ||
        swr_init(resampler_) < 0)
      return false;
    packet_ = av_packet_alloc();
    frame_ = av_frame_alloc();
    return packet_ && frame_;
  }
  void Close() {
    av_frame_free(&frame_);
    av_packet_free(&packet_);
    swr_free(&resampler_);
    avcodec_free_context(&codec_);
    avformat_close_input(&format_);
  }
  // Up to frames of output into out; fewer only at the end of the track.
  int Read(int16_t* out, int frames) {
    int got = 0;
    while (got < frames) {
      // What the resampler still holds first.
      uint8_t* target = reinterpret_cast<uint8_t*>(out + 2 * got);
      const int flushed = swr_convert(resampler_, &target, frames - got, nullptr, 0);
      if (flushed > 0) {
        got += flushed;
        continue;
      }
      if (ended_) break;
      if (!DecodeFrame()) {
        ended_ = true;
        continue;
      }
      target = reinterpret_cast<uint8_t*>(out + 2 * got);
      const int n = swr_convert(resampler_, &target, frames - got, const_cast<const uint8_t**>(frame_->extended_data),
                                frame_->nb_samples);
      if (n > 0) got += n;
    }
    return got;
  }

 private:
  bool DecodeFrame() {
    for (;;) {
      const int r = avcodec_receive_frame(codec_, frame_);
      if (r == 0) return true;
      if (r != AVERROR(EAGAIN)) return false;
      if (draining_) return false;
      if (av_read_frame(format_, packet_) < 0) {
        draining_ = true;
        avcodec_send_packet(codec_, nullptr);
        continue;
      }
      if (packet_->stream_index == stream_) avcodec_send_packet(codec_, packet_);
      av_packet_unref(packet_);
    }
  }

  AVFormatContext* format_ = nullptr;
  AVCodecContext* codec_ = nullptr;
  SwrContext* resampler_ = nullptr;
  AVPacket* packet_ = nullptr;
  AVFrame* frame_ = nullptr;
  int stream_ = -1;
  bool draining_ = false;
  bool ended_ = false;
};

class FfmpegMusic : public PlatformMusic, public AudioStream {
 public:
  ~FfmpegMusic() override { Close(); }
  const char* Name() const override { return "FFmpeg"; }

  bool Open() override {
    Close();
    const std::string folder = MusicFolderFind();
    if (folder.empty()) return false;
    if (DIR* dir = opendir(folder.c_str())) {
      while (dirent* entry = readdir(dir))
        if (const int track = TrackOfFileName(entry->d_name)) tracks_.emplace(track, folder + "/" + entry->d_name);
      closedir(dir);
    }
    return !tracks_.empty();
  }

  void Close() override {
    Stop();
    if (output_) {
      output_->RemoveStream(this);
      std::lock_guard<std::mutex> hold(lock_);
      if (source_) {
        alDeleteSources(1, &source_);
        alDeleteBuffers(kQueued, buffers_);
        source_ = 0;
      }
      output_->Release();
      output_ = nullptr;
    }
    tracks_.clear();
  }

  int LastTrack() const override { return tracks_.empty() ? 0 : tracks_.rbegin()->first; }

  bool Play(int track, HWND notify, uint32_t deviceId) override {
    Stop();
    auto found = tracks_.find(track);
    if (found == tracks_.end() || !EnsureOutput()) return false;
    auto decoder = std::make_unique<TrackDecoder>();
    if (!decoder->Open(found->second)) return false;
    std::lock_guard<std::mutex> hold(lock_);
    decoder_ = std::move(decoder);
    notify_ = notify;
    deviceId_ = deviceId;
    for (ALuint buffer : buffers_)
      if (!Fill(buffer)) break;
    alSourcePlay(source_);
    playing_ = true;
    return true;
  }

  void Stop() override {
    std::lock_guard<std::mutex> hold(lock_);
    playing_ = false;
    decoder_.reset();
    if (source_) {
      alSourceStop(source_);
      alSourcei(source_, AL_BUFFER, 0);
    }
  }

  bool IsPlaying() const override {
    std::lock_guard<std::mutex> hold(lock_);
    return playing_;
  }

  void SetVolume(float left, float right) override {
    std::lock_guard<std::mutex> hold(lock_);
    gain_ = (left + right) * 0.5f;
    if (source_) alSourcef(source_, AL_GAIN, gain_);
  }

  void Service() override {
    std::lock_guard<std::mutex> hold(lock_);
    if (!playing_ || !source_) return;
    ALint processed = 0;
    alGetSourcei(source_, AL_BUFFERS_PROCESSED, &processed);
    while (processed-- > 0) {
      ALuint buffer = 0;
      alSourceUnqueueBuffers(source_, 1, &buffer);
      Fill(buffer);
    }
    ALint queued = 0, state = AL_STOPPED;
    alGetSourcei(source_, AL_BUFFERS_QUEUED, &queued);
    alGetSourcei(source_, AL_SOURCE_STATE, &state);
    if (queued == 0) {
      // Played to its end.
      playing_ = false;
      decoder_.reset();
      if (notify_) PostMessage(notify_, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, deviceId_);
    } else if (state != AL_PLAYING) {
      alSourcePlay(source_);  // ran dry for a moment: go on
    }
  }

 private:
  bool EnsureOutput() {
    if (output_) return true;
    PlatformSound* output = PlatformBackendGet().sound.get();
    if (!output->Acquire()) return false;
    alGetError();
    alGenSources(1, &source_);
    alGenBuffers(kQueued, buffers_);
    if (alGetError() != AL_NO_ERROR) {
      output->Release();
      source_ = 0;
      return false;
    }
    alSourcei(source_, AL_SOURCE_RELATIVE, AL_TRUE);
    alSourcef(source_, AL_GAIN, gain_);
    output_ = output;
    output_->AddStream(this);
    return true;
  }

  // Decodes the next piece into buffer and queues it; false at the end.
  bool Fill(ALuint buffer) {
    if (!decoder_) return false;
    const int frames = decoder_->Read(pcm_.data(), kBufferFrames);
    if (frames <= 0) return false;
    alBufferData(buffer, AL_FORMAT_STEREO16, pcm_.data(), frames * 4, kRate);
    alSourceQueueBuffers(source_, 1, &buffer);
    return true;
  }

  mutable std::mutex lock_;
  std::map<int, std::string> tracks_;
  PlatformSound* output_ = nullptr;
  ALuint source_ = 0;
  ALuint buffers_[kQueued] = {};
  std::unique_ptr<TrackDecoder> decoder_;
  HWND notify_ = nullptr;
  uint32_t deviceId_ = 0;
  bool playing_ = false;
  float gain_ = 1.0f;
  std::vector<int16_t> pcm_ = std::vector<int16_t>(kBufferFrames * 2);
};

}  // namespace

std::unique_ptr<PlatformMusic> PlatformMusicCreate() { return std::make_unique<FfmpegMusic>(); }
