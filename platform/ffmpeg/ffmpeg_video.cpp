// Smacker files decoded by FFmpeg: the smk demuxer gives one video packet a
// frame, preceded by that frame's sound packets; the smackvideo decoder
// keeps the previous picture itself, so every frame it gives is whole.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/log.h>
}

#include "platform/video.h"

namespace {

struct CodecContextDeleter {
  void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FormatContextDeleter {
  void operator()(AVFormatContext* f) const { avformat_close_input(&f); }
};
struct PacketDeleter {
  void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct FrameDeleter {
  void operator()(AVFrame* f) const { av_frame_free(&f); }
};
using CodecContext = std::unique_ptr<AVCodecContext, CodecContextDeleter>;

CodecContext OpenDecoder(const AVStream* stream) {
  const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
  if (!codec) return nullptr;
  CodecContext context(avcodec_alloc_context3(codec));
  if (!context || avcodec_parameters_to_context(context.get(), stream->codecpar) < 0 ||
      avcodec_open2(context.get(), codec, nullptr) < 0)
    return nullptr;
  return context;
}

// Appends the frame's samples as interleaved little-endian bytes; false for
// a sample format the video's sound never has.
bool AppendSound(const AVFrame* frame, std::vector<uint8_t>* out) {
  const int bytesPerSample = frame->format == AV_SAMPLE_FMT_U8 ? 1 : frame->format == AV_SAMPLE_FMT_S16 ? 2 : 0;
  if (bytesPerSample == 0 || frame->nb_samples < 0) return false;
  const size_t bytes = static_cast<size_t>(frame->nb_samples) * frame->ch_layout.nb_channels * bytesPerSample;
  out->insert(out->end(), frame->data[0], frame->data[0] + bytes);
  return true;
}

// FFmpeg's Smacker reader reads a size and a flag for every frame the header
// claims before it notices the file has ended, so a file of a few bytes that
// claims a million frames keeps it busy for seconds. The header (104 bytes)
// is read here first: a Smacker file must at least hold its frame count's
// size and flag tables (5 bytes a frame, one more frame with the ring-frame
// flag), and more frames than a video may have are refused at once. Files
// of other kinds are left to FFmpeg, which refuses them.
bool SmackerFramesFit(const std::string& path, std::string* error) {
  constexpr size_t kHeaderBytes = 104;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return true;  // FFmpeg says why it can't open it
  uint8_t header[kHeaderBytes];
  const size_t got = std::fread(header, 1, sizeof header, file);
  long size = -1;
  if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
  std::fclose(file);
  if (got < 4 || (std::memcmp(header, "SMK2", 4) != 0 && std::memcmp(header, "SMK4", 4) != 0)) return true;
  auto u32 = [&](size_t at) {
    return static_cast<uint32_t>(header[at] | header[at + 1] << 8 | header[at + 2] << 16) |
           static_cast<uint32_t>(header[at + 3]) << 24;
  };
  if (got < kHeaderBytes || size < 0) {
    *error = path + ": the Smacker header is cut short";
    return false;
  }
  const uint64_t frames = static_cast<uint64_t>(u32(12)) + (u32(20) & 1);
  if (frames > static_cast<uint64_t>(kVideoMaxFrames)) {
    *error = path + ": " + std::to_string(frames) + " frames are more than a video may have";
    return false;
  }
  if (kHeaderBytes + 5 * frames > static_cast<uint64_t>(size)) {
    *error = path + ": " + std::to_string(frames) + " frames claimed, but the file's " + std::to_string(size) +
             " bytes can't hold their size and flag tables";
    return false;
  }
  return true;
}

class FfmpegVideoFile : public PlatformVideoFile {
 public:
  bool Open(const std::string& path, std::string* error);
  const VideoInfo& Info() const override { return info_; }
  bool ReadFrame(VideoFrameData* out) override;
  bool Rewind() override;

 private:
  bool Fail() {
    failed_ = true;
    return false;
  }
  bool TakeVideoFrame(VideoFrameData* out);

  std::string path_;
  VideoInfo info_;
  std::unique_ptr<AVFormatContext, FormatContextDeleter> format_;
  CodecContext video_, sound_;
  int videoStream_ = -1, soundStream_ = -1;
  std::unique_ptr<AVPacket, PacketDeleter> packet_{av_packet_alloc()};
  std::unique_ptr<AVFrame, FrameDeleter> frame_{av_frame_alloc()};
  bool failed_ = false;
};

bool FfmpegVideoFile::Open(const std::string& path, std::string* error) {
  path_ = path;
  failed_ = false;
  video_.reset();
  sound_.reset();
  format_.reset();
  AVFormatContext* format = nullptr;
  if (!packet_ || !frame_) {
    *error = "out of memory";
    return false;
  }
  if (!SmackerFramesFit(path, error)) return false;
  if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) {
    *error = "cannot open " + path;
    return false;
  }
  format_.reset(format);
  if (std::strcmp(format->iformat->name, "smk") != 0) {
    *error = path + " is not a Smacker file";
    return false;
  }
  videoStream_ = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  if (videoStream_ < 0 || !(video_ = OpenDecoder(format->streams[videoStream_]))) {
    *error = path + " has no video that can be decoded";
    return false;
  }
  const AVStream* stream = format->streams[videoStream_];
  const AVCodecParameters* video = stream->codecpar;
  // One time-base tick is one frame.
  const int64_t micros = stream->time_base.den > 0 ? av_rescale(1000000, stream->time_base.num, stream->time_base.den) : 0;
  const int64_t frames = stream->duration > 0 ? stream->duration : stream->nb_frames;
  if (video->width < 1 || video->width > kVideoMaxSide || video->height < 1 || video->height > kVideoMaxSide ||
      frames < 1 || frames > kVideoMaxFrames || micros < 1 || micros > 60 * 1000000) {
    *error = path + ": size, frame count or frame time out of range";
    return false;
  }
  info_ = VideoInfo{};
  info_.width = video->width;
  info_.height = video->height;
  info_.frameCount = static_cast<int>(frames);
  info_.frameMicros = static_cast<uint32_t>(micros);
  soundStream_ = av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
  if (soundStream_ >= 0) sound_ = OpenDecoder(format->streams[soundStream_]);
  if (sound_) {
    const int bits = sound_->sample_fmt == AV_SAMPLE_FMT_U8 ? 8 : sound_->sample_fmt == AV_SAMPLE_FMT_S16 ? 16 : 0;
    const int channels = sound_->ch_layout.nb_channels;
    if (bits && (channels == 1 || channels == 2) && sound_->sample_rate > 0) {
      info_.soundRate = sound_->sample_rate;
      info_.soundChannels = channels;
      info_.soundBits = bits;
    } else {
      sound_.reset();  // a sound the game can't play: the video stays silent
    }
  }
  return true;
}

bool FfmpegVideoFile::TakeVideoFrame(VideoFrameData* out) {
  const AVFrame* f = frame_.get();
  if (f->format != AV_PIX_FMT_PAL8 || f->width != info_.width || f->height != info_.height || !f->data[1])
    return false;
  out->pixels.resize(static_cast<size_t>(info_.width) * info_.height);
  for (int y = 0; y < info_.height; ++y)
    std::memcpy(&out->pixels[static_cast<size_t>(y) * info_.width],
                f->data[0] + static_cast<ptrdiff_t>(y) * f->linesize[0], info_.width);
  // The palette comes as 256 native-endian 0xAARRGGBB words.
  for (int i = 0; i < 256; ++i) {
    uint32_t argb;
    std::memcpy(&argb, f->data[1] + 4 * i, 4);
    out->palette[3 * i] = static_cast<uint8_t>(argb >> 16);
    out->palette[3 * i + 1] = static_cast<uint8_t>(argb >> 8);
    out->palette[3 * i + 2] = static_cast<uint8_t>(argb);
  }
  return true;
}

bool FfmpegVideoFile::ReadFrame(VideoFrameData* out) {
  if (failed_ || !format_) return false;
  out->sound.clear();
  while (av_read_frame(format_.get(), packet_.get()) >= 0) {
    const int stream = packet_->stream_index;
    AVCodecContext* decoder = stream == videoStream_ ? video_.get() : stream == soundStream_ ? sound_.get() : nullptr;
    const int sent = decoder ? avcodec_send_packet(decoder, packet_.get()) : 0;
    av_packet_unref(packet_.get());
    if (sent < 0) return Fail();
    if (decoder == sound_.get() && decoder) {
      while (avcodec_receive_frame(decoder, frame_.get()) == 0) {
        const bool kept = AppendSound(frame_.get(), &out->sound);
        av_frame_unref(frame_.get());
        if (!kept) return Fail();
      }
    } else if (decoder) {
      const int received = avcodec_receive_frame(decoder, frame_.get());
      if (received == AVERROR(EAGAIN)) continue;
      const bool kept = received == 0 && TakeVideoFrame(out);
      av_frame_unref(frame_.get());
      return kept ? true : Fail();
    }
  }
  return Fail();
}

bool FfmpegVideoFile::Rewind() {
  // Smacker frames build on the frames before them and the demuxer can only
  // seek to the start, so going back is opening the file again.
  std::string error;
  const VideoInfo before = info_;
  if (Open(path_, &error) && info_.width == before.width && info_.height == before.height) return true;
  info_ = before;
  return Fail();
}

class FfmpegVideo : public PlatformVideo {
 public:
  FfmpegVideo() {
    // Damaged files are reported through the open and read results; FFmpeg
    // itself says only what is worse.
    av_log_set_level(AV_LOG_FATAL);
  }
  const char* Name() const override { return "FFmpeg"; }
  std::unique_ptr<PlatformVideoFile> Open(const std::string& path, std::string* error) override {
    auto file = std::make_unique<FfmpegVideoFile>();
    if (!file->Open(path, error)) return nullptr;
    return file;
  }
};

}  // namespace

std::unique_ptr<PlatformVideo> PlatformVideoCreate() { return std::make_unique<FfmpegVideo>(); }
