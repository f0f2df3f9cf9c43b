// The least a program can do to capture: open ALSA's default capture device, as pilto-listen
// does, and read its first buffer. bench/startup times it beside the program.
#include <alsa/asoundlib.h>

#include <vector>

namespace {

void ignoreAlsa(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

int main() {
  snd_lib_error_set_handler(ignoreAlsa);
  constexpr snd_pcm_uframes_t frames = 1024;
  snd_pcm_t* pcm = nullptr;
  if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_CAPTURE, 0) < 0) return 1;
  if (snd_pcm_set_params(pcm, SND_PCM_FORMAT_FLOAT, SND_PCM_ACCESS_RW_INTERLEAVED, 1, 48000, 0,
                         4 * frames * 1'000'000 / 48000) < 0) {
    return 1;
  }
  std::vector<float> samples(frames);
  snd_pcm_uframes_t read = 0;
  while (read < frames) {
    snd_pcm_sframes_t count = snd_pcm_readi(pcm, samples.data() + read, frames - read);
    if (count < 0) return 1;
    read += static_cast<snd_pcm_uframes_t>(count);
  }
  snd_pcm_close(pcm);
}
