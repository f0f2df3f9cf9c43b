#include "platform/linux/recognition/speech_decoder.h"

#include <pocketsphinx.h>
#include <sphinxbase/cmn.h>
#include <sphinxbase/feat.h>

#include <csignal>
#include <cstdlib>
#include <string>

#include "platform/linux/recognition/dictionary_spelling.h"

static_assert(FeatureStream::frameRate == framesPerSecond, "words are timed in feature frames");

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
  // No flat-lexicon pass at the end of each utterance: the utterances are decoded again with an
  // adapted mean instead, and beside that the pass cost words as well as the time to finish.
  // Past 6000 active HMMs a frame, a wider search takes a third more time and finds no more
  // words: time that a busy machine, and the final result, cannot spare.
  cmd_ln_t* config =
      cmd_ln_init(nullptr, ps_args(), TRUE, "-hmm", model.acousticModel.c_str(), "-lm",
                  model.languageModel.c_str(), "-dict", model.dictionary.c_str(), "-mmap", "no",
                  "-fwdflat", "no", "-maxhmmpf", "6000", nullptr);
  if (!config) return nullptr;
  ps_decoder_t* decoder = initDecoder(config);
  if (!decoder) return nullptr;
  // Without that pass the library keeps only the last few frames, and hears nothing once a second
  // decoding gives it more than a few at once. Taking frames without searching them makes it keep
  // every frame of an utterance; none is given here.
  ps_process_cep(decoder, nullptr, 0, TRUE, FALSE);
  return std::unique_ptr<SpeechDecoder>(new SpeechDecoder(config, decoder));
}

SpeechDecoder::~SpeechDecoder() {
  ps_free(decoder_);
  cmd_ln_free_r(config_);
}

CepstralFrame SpeechDecoder::modelMeanStart() const {
  CepstralFrame mean{};
  const char* values = cmd_ln_str_r(config_, "-cmninit");
  for (int i = 0; values && *values && i < cepstralCoefficients; ++i) {
    char* end = nullptr;
    mean[i] = std::strtof(values, &end);
    values = *end == ',' ? end + 1 : end;
  }
  return mean;
}

void SpeechDecoder::startUtterance(std::int64_t firstFrame, const CepstralFrame& mean) {
  firstFrame_ = firstFrame;
  mean_ = mean;
  ps_start_utt(decoder_);
}

// The live normalisation would drift towards its own running estimate; setting the mean before
// every piece keeps the utterance on the one it was started with.
void SpeechDecoder::process(std::span<const CepstralFrame> frames) {
  if (frames.empty()) return;
  scratch_.assign(frames.begin(), frames.end());
  std::vector<mfcc_t*> rows;
  rows.reserve(scratch_.size());
  for (CepstralFrame& frame : scratch_) rows.push_back(frame.data());
  cmn_live_set(ps_get_feat(decoder_)->cmn_struct, mean_.data());
  constexpr int search = FALSE, partOfUtterance = FALSE;
  ps_process_cep(decoder_, rows.data(), static_cast<int>(rows.size()), search, partOfUtterance);
}

std::vector<SpokenWord> SpeechDecoder::words() const {
  std::vector<SpokenWord> words;
  for (ps_seg_t* segment = ps_seg_iter(decoder_); segment; segment = ps_seg_next(segment)) {
    auto spelling = dictionarySpelling(ps_seg_word(segment));
    if (!spelling) continue;
    int first = 0, last = 0;
    ps_seg_frames(segment, &first, &last);
    words.push_back({std::move(*spelling), firstFrame_ + first, firstFrame_ + last});
  }
  return words;
}

std::int32_t SpeechDecoder::pathScore() const {
  std::int32_t score = 0;
  ps_get_hyp(decoder_, &score);
  return score;
}

void SpeechDecoder::endUtterance() {
  ps_end_utt(decoder_);
}
