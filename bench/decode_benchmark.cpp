// Streams a recording through the real recognizer exactly as capture does (1024-frame buffers
// at a device rate of 48 kHz, converted inside the request, partial results on), decodes the
// same audio with pocketsphinx_continuous, and prints both costs.
//
//   decode_benchmark RECORDING.raw [SECONDS [RUNS]]
//
// RECORDING.raw is 16 kHz mono s16le. With SECONDS, the recording is repeated with a second of
// silence between repetitions until the dictation is that long. The two decoders take turns,
// RUNS times each (5 by default), and the medians are printed: CPU time on a shared machine
// varies from run to run. Each decoder runs in a process
// of its own, started from this small one, so that peak memory is each decoder's own.

#include <fcntl.h>
#include <soxr.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/speech.h"
#include "raw_recording.h"

namespace {

using Seconds = std::chrono::duration<double>;

constexpr double recordingRate = 16000;
constexpr double deviceRate = 48000;
constexpr std::size_t framesPerBuffer = 1024;
// Faster than real time by this much: well ahead of any microphone, within what the decoder
// keeps up with, so the ring never overflows. Under valgrind, the decoder needs a slower feed.
constexpr double defaultFeedSpeed = 4;

// Writes the dictation to a temporary file and returns its path and length in seconds.
std::pair<std::string, double> writeDictation(const std::string& recordingPath,
                                              std::optional<double> seconds) {
  auto recording = readRecording(recordingPath);
  std::size_t wanted =
      seconds ? static_cast<std::size_t>(*seconds * recordingRate) : recording.size();
  std::vector<std::int16_t> pause(static_cast<std::size_t>(recordingRate));
  char path[] = "/tmp/pilto-bench-XXXXXX.raw";
  close(mkstemps(path, 4));
  std::ofstream file(path, std::ios::binary);
  for (std::size_t left = wanted; left > 0;) {
    for (const auto* part : {&recording, &pause}) {
      std::size_t count = std::min(left, part->size());
      file.write(reinterpret_cast<const char*>(part->data()),
                 static_cast<std::streamsize>(count * 2));
      left -= count;
    }
  }
  return {path, static_cast<double>(wanted) / recordingRate};
}

// Feeds the file to the request as a 48 kHz microphone would, converting as it goes.
void feed(const std::string& path, double feedSpeed, RecognitionRequest& request) {
  soxr_io_spec_t formats = soxr_io_spec(SOXR_INT16_I, SOXR_FLOAT32_I);
  soxr_t upsampler = soxr_create(recordingRate, deviceRate, 1, nullptr, &formats, nullptr, nullptr);
  std::ifstream file(path, std::ios::binary);
  std::vector<std::int16_t> input(framesPerBuffer / 3);
  std::vector<float> pending, output(framesPerBuffer * 2);
  auto pace = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
      Seconds(framesPerBuffer / deviceRate / feedSpeed));
  auto next = std::chrono::steady_clock::now();
  for (bool more = true; more;) {
    file.read(reinterpret_cast<char*>(input.data()),
              static_cast<std::streamsize>(input.size() * 2));
    std::size_t count = static_cast<std::size_t>(file.gcount()) / 2, used = 0, produced = 0;
    more = count > 0;
    soxr_process(upsampler, more ? input.data() : nullptr, count, &used, output.data(),
                 output.size(), &produced);
    pending.insert(pending.end(), output.begin(), output.begin() + static_cast<long>(produced));
    while (pending.size() >= framesPerBuffer || (!more && !pending.empty())) {
      std::size_t frames = std::min(framesPerBuffer, pending.size());
      request.append(AudioBuffer{std::span(pending.data(), frames), AudioFormat{deviceRate, 1}});
      pending.erase(pending.begin(), pending.begin() + static_cast<long>(frames));
      std::this_thread::sleep_until(next += pace);
    }
  }
  soxr_delete(upsampler);
}

// In the child: decodes the file and prints the number of partial results, the transcript, and
// the milliseconds from the end of the audio to the final result.
int decodeWithPiltoListen(const std::string& path, double feedSpeed) {
  std::mutex mutex;
  std::condition_variable finished;
  std::string transcript;
  int partialResults = 0;
  bool done = false;
  std::chrono::steady_clock::time_point finalAt;
  auto recognizer = SpeechRecognizer::create(Locale{"en-US"});
  RecognitionRequest request;
  request.setShouldReportPartialResults(true);
  auto task = recognizer->recognitionTask(
      request,
      [&](const std::optional<RecognitionResult>& result, const std::optional<Error>& error) {
        std::lock_guard lock(mutex);
        if (error) transcript = "error: " + error->localizedDescription;
        if (result && !result->isFinal) ++partialResults;
        if (result && result->isFinal) transcript = result->bestTranscription.formattedString;
        bool ends = error || (result && result->isFinal);
        if (ends && !done) finalAt = std::chrono::steady_clock::now();
        done = done || ends;
        finished.notify_all();
      });
  feed(path, feedSpeed, request);
  auto audioEnded = std::chrono::steady_clock::now();
  request.endAudio();
  std::unique_lock lock(mutex);
  finished.wait(lock, [&] { return done; });
  std::printf("%d\n%s\n%.1f\n", partialResults, transcript.c_str(),
              std::chrono::duration<double, std::milli>(finalAt - audioEnded).count());
  std::fflush(stdout);
  _exit(0);
}

Seconds cpuTime(const rusage& usage) {
  auto seconds = [](timeval t) {
    return Seconds(static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6);
  };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct Decoding {
  Seconds cpu;
  double peakResidentMiB;
  std::vector<std::string> output;  // what the decoder printed, line by line
};

Decoding run(std::vector<std::string> arguments) {
  char outputPath[] = "/tmp/pilto-bench-XXXXXX.txt";
  close(mkstemps(outputPath, 4));
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputPath, O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  std::vector<char*> argv;
  for (auto& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  Decoding decoding{cpuTime(usage), static_cast<double>(usage.ru_maxrss) / 1024, {}};
  std::ifstream output(outputPath);
  for (std::string line; std::getline(output, line);) {
    if (!line.empty()) decoding.output.push_back(line);
  }
  unlink(outputPath);
  return decoding;
}

std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += (text.empty() ? "" : " ") + line;
  return text;
}

// The run with the median CPU time.
Decoding median(std::vector<Decoding> runs) {
  std::sort(runs.begin(), runs.end(), [](auto& a, auto& b) { return a.cpu < b.cpu; });
  return runs[runs.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::string(argv[1]) == "--pilto-listen") {
    return decodeWithPiltoListen(argv[2], argc > 3 ? std::stod(argv[3]) : defaultFeedSpeed);
  }
  if (argc < 2) {
    std::cerr << "usage: decode_benchmark RECORDING.raw [SECONDS [RUNS]]\n";
    return 2;
  }
  auto [path, audioSeconds] =
      writeDictation(argv[1], argc > 2 ? std::optional(std::stod(argv[2])) : std::nullopt);
  int runs = argc > 3 ? std::stoi(argv[3]) : 5;
  std::vector<Decoding> ourRuns, theirRuns;
  for (int i = 0; i < runs; ++i) {
    ourRuns.push_back(run({"/proc/self/exe", "--pilto-listen", path}));
    theirRuns.push_back(run({"pocketsphinx_continuous", "-infile", path}));
  }
  unlink(path.c_str());
  auto ours = median(ourRuns), theirs = median(theirRuns);

  std::printf("runs of each decoder (medians)     %8d\n", runs);
  std::printf("audio seconds                      %8.2f\n", audioSeconds);
  std::printf("pilto-listen CPU s per audio s     %8.4f\n", ours.cpu.count() / audioSeconds);
  std::printf("pocketsphinx_continuous CPU s / s  %8.4f\n", theirs.cpu.count() / audioSeconds);
  std::printf("ratio ours/theirs                  %8.3f\n", ours.cpu / theirs.cpu);
  std::printf("partial results                    %8s\n",
              ours.output.empty() ? "-" : ours.output[0].c_str());
  std::printf("pilto-listen peak RSS MiB          %8.1f\n", ours.peakResidentMiB);
  std::printf("pocketsphinx_continuous RSS MiB    %8.1f\n", theirs.peakResidentMiB);
  std::printf("pilto-listen transcript            %s\n",
              ours.output.size() > 1 ? ours.output[1].c_str() : "");
  std::printf("pocketsphinx_continuous transcript %s\n", joined(theirs.output).c_str());
}
