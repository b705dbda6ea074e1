#include "platform/win32/win32_audio.h"

namespace trelvan {

bool Win32Audio::Play(const int16_t* samples, uint32_t count, uint32_t rate) {
  Stop();
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 1;
  format.nSamplesPerSec = rate;
  format.wBitsPerSample = 16;
  format.nBlockAlign = 2;
  format.nAvgBytesPerSec = rate * 2;
  if (waveOutOpen(&out_, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) {
    out_ = nullptr;
    return false;
  }
  header_ = WAVEHDR{};
  header_.lpData = reinterpret_cast<LPSTR>(const_cast<int16_t*>(samples));
  header_.dwBufferLength = count * 2u;
  if (waveOutPrepareHeader(out_, &header_, sizeof header_) != MMSYSERR_NOERROR ||
      waveOutWrite(out_, &header_, sizeof header_) != MMSYSERR_NOERROR) {
    Stop();
    return false;
  }
  return true;
}

void Win32Audio::Stop() {
  if (!out_) return;
  waveOutReset(out_);  // marks the buffer done
  if (header_.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(out_, &header_, sizeof header_);
  waveOutClose(out_);
  out_ = nullptr;
}

bool Win32Audio::IsPlaying() { return out_ && !(header_.dwFlags & WHDR_DONE); }

}  // namespace trelvan
