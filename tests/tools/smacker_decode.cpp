#include "tests/tools/smacker_decode.h"

#if KORVANE_HAVE_FFMPEG

#include <cstdarg>
#include <cstdio>
#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/log.h>
}

namespace {

std::vector<std::string>* g_problems = nullptr;

std::string Own(const std::string& what) { return kOwnProblem + what; }

void CollectLog(void* context, int level, const char* format, va_list args) {
  if (level > AV_LOG_WARNING || !g_problems) return;
  char line[1024];
  int prefix = 1;
  av_log_format_line(context, level, format, args, line, sizeof line, &prefix);
  g_problems->push_back(line);
}

// Collects FFmpeg's warnings and errors while it lives.
class LogCapture {
 public:
  explicit LogCapture(std::vector<std::string>* problems) {
    g_problems = problems;
    av_log_set_callback(CollectLog);
  }
  ~LogCapture() {
    av_log_set_callback(av_log_default_callback);
    g_problems = nullptr;
  }
};

struct Decoder {
  AVCodecContext* context = nullptr;
  int stream = -1;
  ~Decoder() { avcodec_free_context(&context); }
  bool Open(AVFormatContext* format, AVMediaType type, std::vector<std::string>* problems) {
    stream = av_find_best_stream(format, type, -1, -1, nullptr, 0);
    if (stream < 0) return false;
    const AVCodecParameters* parameters = format->streams[stream]->codecpar;
    const AVCodec* codec = avcodec_find_decoder(parameters->codec_id);
    context = codec ? avcodec_alloc_context3(codec) : nullptr;
    if (!context || avcodec_parameters_to_context(context, parameters) < 0 ||
        avcodec_open2(context, codec, nullptr) < 0) {
      problems->push_back(Own("cannot open the decoder"));
      avcodec_free_context(&context);
      return false;
    }
    return true;
  }
};

void KeepVideoFrame(const AVFrame* frame, DecodedSmacker* out) {
  std::vector<uint8_t> pixels;
  for (int y = 0; y < frame->height; ++y) {
    const uint8_t* row = frame->data[0] + static_cast<ptrdiff_t>(y) * frame->linesize[0];
    pixels.insert(pixels.end(), row, row + frame->width);
  }
  out->frames.push_back(std::move(pixels));
  std::array<uint8_t, 768> palette{};
  for (int i = 0; i < 256; ++i) {
    uint32_t argb;
    std::memcpy(&argb, frame->data[1] + 4 * i, 4);
    palette[3 * i] = static_cast<uint8_t>(argb >> 16);
    palette[3 * i + 1] = static_cast<uint8_t>(argb >> 8);
    palette[3 * i + 2] = static_cast<uint8_t>(argb);
  }
  out->palettes.push_back(palette);
  out->framePts.push_back(frame->best_effort_timestamp);
}

void KeepSoundFrame(const AVFrame* frame, DecodedSmacker* out) {
  const int count = frame->nb_samples * frame->ch_layout.nb_channels;
  if (frame->format == AV_SAMPLE_FMT_U8) {
    for (int i = 0; i < count; ++i) out->samples.push_back(frame->data[0][i]);
  } else if (frame->format == AV_SAMPLE_FMT_S16) {
    for (int i = 0; i < count; ++i) {
      int16_t s;
      std::memcpy(&s, frame->data[0] + 2 * i, 2);
      out->samples.push_back(s);
    }
  } else {
    out->problems.push_back(Own("unexpected sample format"));
  }
}

// Feeds one packet (or, with none, the end) and keeps every frame that comes out.
void Drain(Decoder* decoder, const AVPacket* packet, AVFrame* frame, DecodedSmacker* out, bool video) {
  if (avcodec_send_packet(decoder->context, packet) < 0) {
    out->problems.push_back(Own("a packet was refused"));
    return;
  }
  while (avcodec_receive_frame(decoder->context, frame) == 0) {
    if (video) {
      KeepVideoFrame(frame, out);
    } else {
      KeepSoundFrame(frame, out);
    }
    av_frame_unref(frame);
  }
}

}  // namespace

DecodedSmacker DecodeSmacker(const std::string& path) {
  DecodedSmacker out;
  LogCapture capture(&out.problems);
  AVFormatContext* format = nullptr;
  if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) {
    out.problems.push_back(Own("cannot open ") + path);
    return out;
  }
  if (std::strcmp(format->iformat->name, "smk") != 0) out.problems.push_back(Own("read as ") + format->iformat->name);
  Decoder video, sound;
  if (video.Open(format, AVMEDIA_TYPE_VIDEO, &out.problems)) {
    out.opened = true;
    const AVStream* stream = format->streams[video.stream];
    out.width = stream->codecpar->width;
    out.height = stream->codecpar->height;
    out.frameCount = stream->duration;  // in time-base ticks, one a frame
    out.timeBaseNum = stream->time_base.num;
    out.timeBaseDen = stream->time_base.den;
  }
  if (sound.Open(format, AVMEDIA_TYPE_AUDIO, &out.problems)) {
    const AVCodecParameters* parameters = format->streams[sound.stream]->codecpar;
    out.soundRate = parameters->sample_rate;
    out.soundChannels = parameters->ch_layout.nb_channels;
    out.soundBits = parameters->bits_per_coded_sample;
  }
  AVPacket* packet = av_packet_alloc();
  AVFrame* frame = av_frame_alloc();
  int read;
  while ((read = av_read_frame(format, packet)) >= 0) {
    if (video.context && packet->stream_index == video.stream) Drain(&video, packet, frame, &out, true);
    if (sound.context && packet->stream_index == sound.stream) Drain(&sound, packet, frame, &out, false);
    av_packet_unref(packet);
  }
  if (read != AVERROR_EOF) out.problems.push_back(Own("reading stopped before the end"));
  if (video.context) Drain(&video, nullptr, frame, &out, true);
  if (sound.context) Drain(&sound, nullptr, frame, &out, false);
  av_frame_free(&frame);
  av_packet_free(&packet);
  avformat_close_input(&format);
  return out;
}

#else

DecodedSmacker DecodeSmacker(const std::string&) { return {}; }

#endif
