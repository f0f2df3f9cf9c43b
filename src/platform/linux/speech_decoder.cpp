#include "platform/linux/speech_decoder.h"

#include <pocketsphinx.h>

#include <csignal>
#include <cstdlib>

namespace {

// Set on the loading thread while the decoder reads the model.
thread_local bool loadingModel = false;

void endCrashedLoad(int signal) {
  // PocketSphinx reads past the end of some truncated model files, and may have damaged the heap
  // by then: nothing can go on. Ending as the library itself does on a bad model reports it.
  if (loadingModel) std::quick_exit(EXIT_FAILURE);
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

ps_decoder_t* initDecoder(cmd_ln_t* config) {
  struct sigaction guard {
  }, previousSegv{}, previousBus{};
  guard.sa_handler = endCrashedLoad;
  sigemptyset(&guard.sa_mask);
  sigaction(SIGSEGV, &guard, &previousSegv);
  sigaction(SIGBUS, &guard, &previousBus);
  loadingModel = true;
  ps_decoder_t* decoder = ps_init(config);
  loadingModel = false;
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
