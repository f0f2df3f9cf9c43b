#include "platform/linux/speech_decoder.h"

#include <pocketsphinx.h>
#include <setjmp.h>

#include <csignal>

namespace {

// Set on the loading thread while the decoder reads the model.
thread_local sigjmp_buf* crashedLoadEscape = nullptr;

void escapeCrashedLoad(int signal) {
  if (crashedLoadEscape) siglongjmp(*crashedLoadEscape, signal);
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

// PocketSphinx reads past the end of some truncated model files. Such a crash, on this thread
// and while loading, counts as a refused model; the half-built decoder is abandoned.
ps_decoder_t* initDecoder(cmd_ln_t* config) {
  struct sigaction escape {
  }, previousSegv{}, previousBus{};
  escape.sa_handler = escapeCrashedLoad;
  sigemptyset(&escape.sa_mask);
  sigaction(SIGSEGV, &escape, &previousSegv);
  sigaction(SIGBUS, &escape, &previousBus);
  sigjmp_buf crashed;
  ps_decoder_t* decoder = nullptr;
  if (sigsetjmp(crashed, 1) == 0) {
    crashedLoadEscape = &crashed;
    decoder = ps_init(config);
  }
  crashedLoadEscape = nullptr;
  sigaction(SIGSEGV, &previousSegv, nullptr);
  sigaction(SIGBUS, &previousBus, nullptr);
  return decoder;
}

}  // namespace

std::unique_ptr<SpeechDecoder> SpeechDecoder::load(const LanguageModel& model) {
  // Without memory mapping, a truncated file fails while loading rather than while decoding.
  cmd_ln_t* config = cmd_ln_init(nullptr, ps_args(), TRUE, "-hmm", model.acousticModel.c_str(),
                                 "-lm", model.languageModel.c_str(), "-dict",
                                 model.dictionary.c_str(), "-mmap", "no", nullptr);
  if (!config) return nullptr;
  ps_decoder_t* decoder = initDecoder(config);
  if (!decoder) return nullptr;
  return std::unique_ptr<SpeechDecoder>(new SpeechDecoder(config, decoder));
}

SpeechDecoder::~SpeechDecoder() {
  ps_free(decoder_);
  cmd_ln_free_r(config_);
}

void SpeechDecoder::startUtterance() {
  ps_start_utt(decoder_);
}

void SpeechDecoder::process(std::span<const std::int16_t> samples) {
  constexpr int noSearch = FALSE, partOfUtterance = FALSE;
  ps_process_raw(decoder_, samples.data(), samples.size(), noSearch, partOfUtterance);
}

bool SpeechDecoder::inSpeech() const {
  return ps_get_in_speech(decoder_);
}

std::string SpeechDecoder::hypothesis() const {
  const char* words = ps_get_hyp(decoder_, nullptr);
  return words ? words : "";
}

std::string SpeechDecoder::endUtterance() {
  ps_end_utt(decoder_);
  return hypothesis();
}
