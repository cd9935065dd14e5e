// DirectSound on OpenAL: a secondary buffer is an OpenAL source playing an
// OpenAL buffer that it shares with its duplicates.
#include "platform/direct_sound.h"

#include <AL/al.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/backend.h"

struct DirectSoundSamples {
  WAVEFORMATEX format;
  std::vector<uint8_t> bytes;
  ALuint buffer = 0;
  bool uploaded = false;  // the OpenAL buffer holds the bytes
  ~DirectSoundSamples() {
    if (buffer) alDeleteBuffers(1, &buffer);
  }
};

namespace {

PlatformSound& Output() { return *PlatformBackendGet().sound; }

bool FormatIsPlayable(const WAVEFORMATEX& f) {
  return f.wFormatTag == WAVE_FORMAT_PCM && (f.nChannels == 1 || f.nChannels == 2) &&
         (f.wBitsPerSample == 8 || f.wBitsPerSample == 16) && f.nSamplesPerSec >= DSBFREQUENCY_MIN &&
         f.nSamplesPerSec <= DSBFREQUENCY_MAX && f.nBlockAlign == f.nChannels * f.wBitsPerSample / 8;
}

ALenum AlFormat(const WAVEFORMATEX& f) {
  if (f.nChannels == 1) return f.wBitsPerSample == 8 ? AL_FORMAT_MONO8 : AL_FORMAT_MONO16;
  return f.wBitsPerSample == 8 ? AL_FORMAT_STEREO8 : AL_FORMAT_STEREO16;
}

// Hundredths of a decibel to a linear gain; the minimum is silence.
float GainOf(LONG volume) { return volume <= DSBVOLUME_MIN ? 0.0f : std::pow(10.0f, volume / 2000.0f); }

}  // namespace

// ---------------------------------------------------------------------------
// IDirectSound
// ---------------------------------------------------------------------------

HRESULT DirectSoundCreate(const GUID* device, IDirectSound** out, void* outer) {
  if (!out) return DSERR_INVALIDPARAM;
  *out = nullptr;
  if (device || outer) return DSERR_INVALIDPARAM;
  if (!Output().Acquire()) return DSERR_NODRIVER;
  *out = new IDirectSound();
  return DS_OK;
}

IDirectSound::~IDirectSound() { Output().Release(); }

ULONG IDirectSound::AddRef() { return ++refs_; }

ULONG IDirectSound::Release() {
  const ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

HRESULT IDirectSound::SetCooperativeLevel(HWND window, DWORD level) {
  if (!window || level < DSSCL_NORMAL || level > 4) return DSERR_INVALIDPARAM;
  level_ = level;
  return DS_OK;
}

HRESULT IDirectSound::CreateSoundBuffer(const DSBUFFERDESC* d, IDirectSoundBuffer** out, void* outer) {
  if (!out) return DSERR_INVALIDPARAM;
  *out = nullptr;
  if (!d || d->dwSize != 20 || outer) return DSERR_INVALIDPARAM;
  if (level_ == 0) return DSERR_UNINITIALIZED;
  if (d->dwFlags & DSBCAPS_PRIMARYBUFFER) {
    if (d->dwBufferBytes != 0 || d->lpwfxFormat) return DSERR_INVALIDPARAM;
    *out = new IDirectSoundBuffer(this, d->dwFlags, nullptr);
    return DS_OK;
  }
  if (!d->lpwfxFormat || !FormatIsPlayable(*d->lpwfxFormat) || d->dwBufferBytes < DSBSIZE_MIN ||
      d->dwBufferBytes > DSBSIZE_MAX)
    return DSERR_INVALIDPARAM;
  auto samples = std::make_shared<DirectSoundSamples>();
  samples->format = *d->lpwfxFormat;
  samples->format.cbSize = 0;
  samples->format.nAvgBytesPerSec = samples->format.nSamplesPerSec * samples->format.nBlockAlign;
  samples->bytes.assign(d->dwBufferBytes, samples->format.wBitsPerSample == 8 ? 0x80 : 0);
  alGetError();
  alGenBuffers(1, &samples->buffer);
  if (alGetError() != AL_NO_ERROR) {
    samples->buffer = 0;
    return DSERR_OUTOFMEMORY;
  }
  auto* buffer = new IDirectSoundBuffer(this, d->dwFlags, std::move(samples));
  if (!buffer->source_) {
    buffer->Release();
    return DSERR_ALLOCATED;
  }
  *out = buffer;
  return DS_OK;
}

HRESULT IDirectSound::DuplicateSoundBuffer(IDirectSoundBuffer* original, IDirectSoundBuffer** out) {
  if (!out) return DSERR_INVALIDPARAM;
  *out = nullptr;
  if (!original || !original->samples_) return DSERR_INVALIDCALL;
  auto* copy = new IDirectSoundBuffer(this, original->flags_, original->samples_);
  if (!copy->source_) {
    copy->Release();
    return DSERR_ALLOCATED;
  }
  copy->SetVolume(original->volume_);
  copy->SetPan(original->pan_);
  copy->SetFrequency(original->frequency_);
  *out = copy;
  return DS_OK;
}

// ---------------------------------------------------------------------------
// IDirectSoundBuffer
// ---------------------------------------------------------------------------

IDirectSoundBuffer::IDirectSoundBuffer(IDirectSound* owner, DWORD flags, std::shared_ptr<DirectSoundSamples> samples)
    : owner_(owner), flags_(flags), samples_(std::move(samples)) {
  owner_->AddRef();
  if (!samples_) return;
  alGetError();
  alGenSources(1, &source_);
  if (alGetError() != AL_NO_ERROR) {
    source_ = 0;
    return;
  }
  alSourcei(source_, AL_SOURCE_RELATIVE, AL_TRUE);
  alSource3f(source_, AL_POSITION, 0.0f, 0.0f, -1.0f);
  // The samples are attached once they have been filled (Unlock).
  if (samples_->uploaded) alSourcei(source_, AL_BUFFER, samples_->buffer);
}

IDirectSoundBuffer::~IDirectSoundBuffer() {
  if (source_) {
    alSourceStop(source_);
    alSourcei(source_, AL_BUFFER, 0);
    alDeleteSources(1, &source_);
  }
  samples_.reset();
  owner_->Release();
}

ULONG IDirectSoundBuffer::AddRef() { return ++refs_; }

ULONG IDirectSoundBuffer::Release() {
  const ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

HRESULT IDirectSoundBuffer::GetStatus(DWORD* status) {
  if (!status) return DSERR_INVALIDPARAM;
  *status = 0;
  if (!samples_) {
    if (primaryPlaying_) *status = DSBSTATUS_PLAYING | DSBSTATUS_LOOPING;
    return DS_OK;
  }
  Output().Pump();
  ALint state = AL_STOPPED, looping = AL_FALSE;
  alGetSourcei(source_, AL_SOURCE_STATE, &state);
  alGetSourcei(source_, AL_LOOPING, &looping);
  if (state == AL_PLAYING) *status = DSBSTATUS_PLAYING | (looping ? DSBSTATUS_LOOPING : 0);
  return DS_OK;
}

HRESULT IDirectSoundBuffer::Play(DWORD reserved, DWORD priority, DWORD flags) {
  if (reserved || priority) return DSERR_INVALIDPARAM;
  if (!samples_) {
    if (!(flags & DSBPLAY_LOOPING)) return DSERR_INVALIDPARAM;
    primaryPlaying_ = true;
    return DS_OK;
  }
  if (locked_) return DSERR_INVALIDCALL;
  // Mix what came before the start, so the sound begins now and not at the
  // last pump.
  Output().Pump();
  if (!samples_->uploaded) return DSERR_INVALIDCALL;
  ALint attached = 0;
  alGetSourcei(source_, AL_BUFFER, &attached);
  if (attached == 0) alSourcei(source_, AL_BUFFER, samples_->buffer);
  alGetError();
  alSourcei(source_, AL_LOOPING, (flags & DSBPLAY_LOOPING) ? AL_TRUE : AL_FALSE);
  ALint state = AL_STOPPED;
  alGetSourcei(source_, AL_SOURCE_STATE, &state);
  if (state != AL_PLAYING) alSourcePlay(source_);
  return alGetError() == AL_NO_ERROR ? DS_OK : DSERR_GENERIC;
}

HRESULT IDirectSoundBuffer::Stop() {
  if (!samples_) {
    primaryPlaying_ = false;
    return DS_OK;
  }
  Output().Pump();
  ALint state = AL_STOPPED;
  alGetSourcei(source_, AL_SOURCE_STATE, &state);
  if (state == AL_PLAYING) alSourcePause(source_);
  return DS_OK;
}

HRESULT IDirectSoundBuffer::SetVolume(LONG volume) {
  if (!(flags_ & DSBCAPS_CTRLVOLUME)) return DSERR_CONTROLUNAVAIL;
  if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
  volume_ = volume;
  if (source_) alSourcef(source_, AL_GAIN, GainOf(volume));
  return DS_OK;
}

HRESULT IDirectSoundBuffer::GetVolume(LONG* volume) {
  if (!volume) return DSERR_INVALIDPARAM;
  if (!(flags_ & DSBCAPS_CTRLVOLUME)) return DSERR_CONTROLUNAVAIL;
  *volume = volume_;
  return DS_OK;
}

HRESULT IDirectSoundBuffer::SetPan(LONG pan) {
  if (!(flags_ & DSBCAPS_CTRLPAN)) return DSERR_CONTROLUNAVAIL;
  if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT) return DSERR_INVALIDPARAM;
  pan_ = pan;
  ApplyPan();
  return DS_OK;
}

HRESULT IDirectSoundBuffer::GetPan(LONG* pan) {
  if (!pan) return DSERR_INVALIDPARAM;
  if (!(flags_ & DSBCAPS_CTRLPAN)) return DSERR_CONTROLUNAVAIL;
  *pan = pan_;
  return DS_OK;
}

void IDirectSoundBuffer::ApplyPan() {
  if (!source_) return;
  // The quieter side's gain relative to the louder one, spread over a
  // quarter turn as a sine/cosine pair; the voice is turned by twice the
  // pair's distance from the middle, which OpenAL's stereo panning then
  // renders as about that balance.
  const float ratio = GainOf(-std::abs(pan_));
  const float quarter = std::atan(ratio);                       // pi/4 at the middle, 0 at full pan
  const float azimuth = (static_cast<float>(M_PI) / 4.0f - quarter) * 2.0f;  // 0 .. pi/2
  const float side = pan_ < 0 ? -1.0f : 1.0f;
  alSource3f(source_, AL_POSITION, side * std::sin(azimuth), 0.0f, -std::cos(azimuth));
}

HRESULT IDirectSoundBuffer::SetFrequency(DWORD frequency) {
  if (!(flags_ & DSBCAPS_CTRLFREQUENCY)) return DSERR_CONTROLUNAVAIL;
  if (!samples_) return DSERR_INVALIDCALL;
  if (frequency != DSBFREQUENCY_ORIGINAL && (frequency < DSBFREQUENCY_MIN || frequency > DSBFREQUENCY_MAX))
    return DSERR_INVALIDPARAM;
  frequency_ = frequency;
  const DWORD rate = samples_->format.nSamplesPerSec;
  alSourcef(source_, AL_PITCH, frequency ? static_cast<float>(frequency) / static_cast<float>(rate) : 1.0f);
  return DS_OK;
}

HRESULT IDirectSoundBuffer::GetFrequency(DWORD* frequency) {
  if (!frequency) return DSERR_INVALIDPARAM;
  if (!(flags_ & DSBCAPS_CTRLFREQUENCY)) return DSERR_CONTROLUNAVAIL;
  if (!samples_) return DSERR_INVALIDCALL;
  *frequency = frequency_ ? frequency_ : samples_->format.nSamplesPerSec;
  return DS_OK;
}

HRESULT IDirectSoundBuffer::SetCurrentPosition(DWORD position) {
  if (!samples_) return DSERR_INVALIDCALL;
  if (position >= samples_->bytes.size()) return DSERR_INVALIDPARAM;
  position -= position % samples_->format.nBlockAlign;
  ALint state = AL_STOPPED;
  alGetSourcei(source_, AL_SOURCE_STATE, &state);
  // A voice that ran to its end starts again from the front when played.
  if (state == AL_STOPPED || state == AL_PAUSED) alSourceRewind(source_);
  alSourcei(source_, AL_BYTE_OFFSET, static_cast<ALint>(position));
  return DS_OK;
}

HRESULT IDirectSoundBuffer::Lock(DWORD offset, DWORD bytes, void** part1, DWORD* bytes1, void** part2, DWORD* bytes2,
                                 DWORD flags) {
  if (!part1 || !bytes1) return DSERR_INVALIDPARAM;
  *part1 = nullptr;
  *bytes1 = 0;
  if (part2) *part2 = nullptr;
  if (bytes2) *bytes2 = 0;
  if (!samples_) return DSERR_INVALIDCALL;
  const DWORD size = static_cast<DWORD>(samples_->bytes.size());
  if (flags & DSBLOCK_ENTIREBUFFER) {
    offset = 0;
    bytes = size;
  }
  if (offset >= size || bytes == 0 || bytes > size || locked_) return DSERR_INVALIDPARAM;
  const DWORD first = std::min(bytes, size - offset);
  *part1 = samples_->bytes.data() + offset;
  *bytes1 = first;
  if (first < bytes) {
    if (!part2 || !bytes2) return DSERR_INVALIDPARAM;
    *part2 = samples_->bytes.data();
    *bytes2 = bytes - first;
  }
  locked_ = true;
  return DS_OK;
}

HRESULT IDirectSoundBuffer::Unlock(void* /*part1*/, DWORD /*bytes1*/, void* /*part2*/, DWORD /*bytes2*/) {
  if (!samples_ || !locked_) return DSERR_INVALIDCALL;
  locked_ = false;
  // The voice lets go of the samples while they are handed over again
  // (OpenAL refuses new data for a buffer that a voice holds, so a refill
  // while duplicates exist fails).
  alSourceStop(source_);
  alSourcei(source_, AL_BUFFER, 0);
  const WAVEFORMATEX& f = samples_->format;
  const size_t whole = samples_->bytes.size() - samples_->bytes.size() % f.nBlockAlign;
  alGetError();
  alBufferData(samples_->buffer, AlFormat(f), samples_->bytes.data(), static_cast<ALsizei>(whole),
               static_cast<ALsizei>(f.nSamplesPerSec));
  if (alGetError() != AL_NO_ERROR) return DSERR_GENERIC;
  samples_->uploaded = true;
  alSourcei(source_, AL_BUFFER, samples_->buffer);
  return DS_OK;
}

HRESULT IDirectSoundBuffer::SetFormat(const WAVEFORMATEX* format) {
  if (samples_) return DSERR_INVALIDCALL;
  if (owner_->level_ < DSSCL_PRIORITY) return DSERR_PRIOLEVELNEEDED;
  if (!format || !FormatIsPlayable(*format)) return DSERR_INVALIDPARAM;
  primaryFormat_ = *format;
  return DS_OK;
}

HRESULT IDirectSoundBuffer::GetFormat(WAVEFORMATEX* format, DWORD size, DWORD* written) {
  if (!format || size < 16) return DSERR_INVALIDPARAM;
  const WAVEFORMATEX& f = samples_ ? samples_->format : primaryFormat_;
  *format = f;
  if (written) *written = size < sizeof(WAVEFORMATEX) ? size : static_cast<DWORD>(sizeof(WAVEFORMATEX));
  return DS_OK;
}
