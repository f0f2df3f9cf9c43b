#include "platform/linux/quiet_libraries.h"

#include <alsa/asoundlib.h>
#include <sphinxbase/err.h>

namespace {

void ignoreAlsa(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

void silenceAudioLibraries() {
  snd_lib_error_set_handler(ignoreAlsa);
}

void silenceSpeechLibrary() {
  err_set_logfp(nullptr);
}
