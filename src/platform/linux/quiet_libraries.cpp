#include "platform/linux/quiet_libraries.h"

#include <alsa/asoundlib.h>
#include <jack/jack.h>
#include <sphinxbase/err.h>

namespace {

void ignoreAlsa(const char*, int, const char*, int, const char*, ...) {}
void ignoreJack(const char*) {}

}  // namespace

void silenceAudioLibraries() {
  snd_lib_error_set_handler(ignoreAlsa);
  jack_set_error_function(ignoreJack);
  jack_set_info_function(ignoreJack);
}

void silenceSpeechLibrary() {
  err_set_logfp(nullptr);
}
