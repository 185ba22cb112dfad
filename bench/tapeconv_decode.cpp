// Decode speed of the tape converter: a synthesised minute of cassette signal
// at 44.1 kHz, 16 bits, mono, converted end to end (header, chunk search,
// decoding, ATP output). The "realtime" counter is seconds of recording
// converted per second of CPU time (one core; the conversion is one thread,
// and CPU time stays meaningful on a shared, loaded machine); the goal is at
// least 1,000. A second case converts ten minutes and reports how far the
// peak resident memory grew: it must not grow with the recording.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "dravik.h"
#include "tests/support/tape_signal.h"
#include "tests/tapeconv/cassette_wav.h"

namespace {

constexpr uint32_t kRate = 44100;

std::string scratchPath(const char* name) {
    return (std::filesystem::temp_directory_path() / name).string();
}

// Writes a recording of `minutes` minutes; returns its length in seconds.
double writeRecording(const std::string& path, int minutes) {
    cassette::Signal signal = cassette::MakeSignal(kRate);
    uint8_t seed = 1;
    while (signal.levels.size() < size_t(kRate) * 60) {
        std::vector<uint8_t> data(256);
        for (auto& b : data)
            b = seed = uint8_t(seed * 13 + 7);
        signal.bytes(cassette::TapeBlock(data));
    }
    signal.closingEdge();
    const std::vector<uint8_t> wav =
        cassette::RenderWav(signal, cassette::WavFormat{kRate, 16, 1, false, 0});
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(wav.data(), 1, wav.size(), f);
    for (int m = 1; m < minutes; m++)
        std::fwrite(wav.data() + 44, 1, wav.size() - 44, f);
    std::fclose(f);
    return double(signal.levels.size()) * minutes / kRate;
}

int convert(const std::string& input) {
    std::string args[] = {"dravik", "-i", input, "-o", "/dev/null"};
    char* argv[] = {args[0].data(), args[1].data(), args[2].data(), args[3].data(), args[4].data()};
    DravikStreams streams;
    streams.out = std::fopen("/dev/null", "w");
    streams.err = streams.out;
    const int code = RunDravik(5, argv, streams);
    std::fclose(streams.out);
    return code;
}

long peakResidentKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void BM_ConvertOneMinute16Bit(benchmark::State& state) {
    const std::string path = scratchPath("dravik-bench-1min.wav");
    const double seconds = writeRecording(path, 1);
    for (auto _ : state) {
        if (convert(path) != 0) state.SkipWithError("conversion failed");
    }
    state.counters["realtime"] =
        benchmark::Counter(seconds * double(state.iterations()), benchmark::Counter::kIsRate);
    state.SetBytesProcessed(int64_t(std::filesystem::file_size(path)) * state.iterations());
    std::filesystem::remove(path);
}
BENCHMARK(BM_ConvertOneMinute16Bit)->Unit(benchmark::kMillisecond);

void BM_ConvertTenMinutesMemory(benchmark::State& state) {
    const std::string path = scratchPath("dravik-bench-10min.wav");
    const double seconds = writeRecording(path, 10);
    const long before = peakResidentKb();
    for (auto _ : state) {
        if (convert(path) != 0) state.SkipWithError("conversion failed");
    }
    state.counters["realtime"] =
        benchmark::Counter(seconds * double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["peak_rss_growth_kb"] = double(peakResidentKb() - before);
    state.counters["recording_mb"] = double(std::filesystem::file_size(path)) / 1e6;
    std::filesystem::remove(path);
}
BENCHMARK(BM_ConvertTenMinutesMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

// A worn recording in a wider format: 20 dB of noise, a DC offset and 50 Hz
// hum, 48 kHz 24-bit stereo with the signal on the right (-C 2), with and
// without the filters of -f.
void BM_ConvertWornStereo24Bit(benchmark::State& state) {
    const std::string path = scratchPath("dravik-bench-worn.wav");
    std::vector<std::vector<uint8_t>> blocks;
    for (int b = 0; b < 40; b++) {
        std::vector<uint8_t> data(256);
        for (size_t i = 0; i < data.size(); i++)
            data[i] = uint8_t(b * 7 + i * 13);
        blocks.push_back(data);
    }
    tapesignal::Wear wear;
    wear.snrDb = 20;
    wear.dcOffset = 0.2;
    wear.humShare = 0.2;
    wear.volume = 0.3;
    tapesignal::WavShape shape;
    shape.rate = 48000;
    shape.format = tapesignal::SampleFormat::S24;
    shape.channels = 2;
    shape.signalChannel = 1;
    const tapesignal::Recording recording = tapesignal::Record(blocks);
    const std::vector<uint8_t> wav =
        tapesignal::WavFile(tapesignal::Digitise(recording, shape.rate, wear), shape);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(wav.data(), 1, wav.size(), f);
    std::fclose(f);
    const bool filter = state.range(0) != 0;
    for (auto _ : state) {
        std::string args[] = {"dravik", "-i", path, "-o", "/dev/null", "-C", "2", "-f"};
        char* argv[] = {args[0].data(), args[1].data(), args[2].data(), args[3].data(),
                        args[4].data(), args[5].data(), args[6].data(), args[7].data()};
        DravikStreams streams;
        streams.out = std::fopen("/dev/null", "w");
        streams.err = streams.out;
        if (RunDravik(filter ? 8 : 7, argv, streams) != 0) state.SkipWithError("conversion failed");
        std::fclose(streams.out);
    }
    state.counters["realtime"] = benchmark::Counter(recording.length * double(state.iterations()),
                                                    benchmark::Counter::kIsRate);
    std::filesystem::remove(path);
}
BENCHMARK(BM_ConvertWornStereo24Bit)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
