// Per-frame cost of presenting the picture (the budget is 20 ms a frame at
// 100 % speed) and the cost of converting pasted text.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <vector>

#include "host/qt/paste.h"
#include "host/qt/video_opengl.h"
#include "host/qt/video_view.h"

namespace {

std::vector<uint8_t> TextLikeFrame(int width) {
    std::vector<uint8_t> frame(static_cast<size_t>(width) * 240);
    for (size_t i = 0; i < frame.size(); i++)
        frame[i] = ((i * 2654435761u) >> 13) & 1 ? 0xFF : 0x00;
    return frame;
}

void BM_FrameToTexels(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const std::vector<uint8_t> frame = TextLikeFrame(width);
    std::vector<uint32_t> texels;
    for (auto _ : state) {
        FrameToTexels(frame.data(), width, 240, texels);
        benchmark::DoNotOptimize(texels.data());
    }
    state.SetItemsProcessed(state.iterations()); // frames
}
BENCHMARK(BM_FrameToTexels)->Arg(240)->Arg(480);

// The software back end: present a frame and paint the view as the window
// system would, into a 720 x 540 image.
void BM_SoftwarePresentAndPaint(benchmark::State& state) {
    VideoView view;
    view.resize(720, 540);
    view.SelectVideoDriver(VideoSoftware);
    const std::vector<uint8_t> frame = TextLikeFrame(240);
    QImage target(720, 540, QImage::Format_RGB32);
    for (auto _ : state) {
        view.PresentFrame(frame.data(), 240, 240);
        view.render(&target);
        benchmark::DoNotOptimize(target.constBits());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SoftwarePresentAndPaint)->Unit(benchmark::kMicrosecond);

void BM_PasteConversion(benchmark::State& state) {
    QString listing;
    for (int line = 10; line < 10000; line += 10)
        listing += QString("%1 PRINT \"RÄKNA ÅT ÖSTER\";A*B\n").arg(line);
    for (auto _ : state)
        benchmark::DoNotOptimize(ClipboardTextToMachineBytes(listing));
    state.SetBytesProcessed(state.iterations() * listing.size());
}
BENCHMARK(BM_PasteConversion)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
