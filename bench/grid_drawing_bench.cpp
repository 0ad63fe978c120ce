// The grid's per-pixel drawing (a picture through its own alpha channel, a
// picture through a grey mask, a gradient of one line per row) side by side
// with the nearest plain QPainter composition. The providers keep their own
// arithmetic (division by 256, banker's rounding), so the peer shows what
// that exactness costs.

#include "Canvas.h"
#include "SharedClasses.h"

#include <QApplication>
#include <QLinearGradient>
#include <QPainter>
#include <benchmark/benchmark.h>

namespace {

constexpr int kSize = 512;

TBitmap AlphaPicture() {
    QImage image(kSize, kSize, QImage::Format_ARGB32);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
            image.setPixel(x, y, qRgba(x & 255, y & 255, (x ^ y) & 255, (x + y) & 255));
    return TBitmap(image);
}

TBitmap Background() {
    TBitmap bmp(kSize, kSize, TBitmap::pf24bit);
    bmp.Canvas()->Brush.Color = RGB(30, 60, 90);
    bmp.Canvas()->FillRect(Rect(0, 0, kSize, kSize));
    return bmp;
}

void BM_DrawGraphicAlpha(benchmark::State& state) {
    const TBitmap picture = AlphaPicture();
    TBitmap target = Background();
    for (auto _ : state) {
        TDrawProvider::DrawGraphic(target.Canvas(), 0, 0, picture);
        benchmark::DoNotOptimize(target.Canvas()->Pixel(1, 1));
    }
    state.SetItemsProcessed(state.iterations() * kSize * kSize);
}
BENCHMARK(BM_DrawGraphicAlpha);

void BM_QPainterSourceOver(benchmark::State& state) {
    const QImage picture = AlphaPicture().Image();
    QImage target = Background().Image();
    for (auto _ : state) {
        QPainter p(&target);
        p.drawImage(0, 0, picture);
        p.end();
        benchmark::DoNotOptimize(target.pixel(1, 1));
    }
    state.SetItemsProcessed(state.iterations() * kSize * kSize);
}
BENCHMARK(BM_QPainterSourceOver);

void BM_DrawMasked(benchmark::State& state) {
    const TBitmap image = AlphaPicture();
    TBitmap mask(kSize, kSize, TBitmap::pf24bit);
    TGraphicsProvider::HorzGradient(mask.Canvas(), Rect(0, 0, kSize, kSize), clBlack, clWhite);
    TBitmap target = Background();
    for (auto _ : state) {
        TMaskProvider::DrawMasked(target.Canvas(), 0, 0, image, mask);
        benchmark::DoNotOptimize(target.Canvas()->Pixel(1, 1));
    }
    state.SetItemsProcessed(state.iterations() * kSize * kSize);
}
BENCHMARK(BM_DrawMasked);

void BM_QPainterMaskPeer(benchmark::State& state) {
    // The same picture with the mask folded into its alpha channel.
    QImage picture = AlphaPicture().Image().convertToFormat(QImage::Format_RGB32);
    QImage mask(kSize, kSize, QImage::Format_Grayscale8);
    QPainter mp(&mask);
    QLinearGradient g(0, 0, kSize, 0);
    g.setColorAt(0, Qt::black);
    g.setColorAt(1, Qt::white);
    mp.fillRect(mask.rect(), g);
    mp.end();
    QImage target = Background().Image();
    for (auto _ : state) {
        QImage blended = picture.convertToFormat(QImage::Format_ARGB32);
        blended.setAlphaChannel(mask);
        QPainter p(&target);
        p.drawImage(0, 0, blended);
        p.end();
        benchmark::DoNotOptimize(target.pixel(1, 1));
    }
    state.SetItemsProcessed(state.iterations() * kSize * kSize);
}
BENCHMARK(BM_QPainterMaskPeer);

void BM_VertGradient(benchmark::State& state) {
    TBitmap target = Background();
    for (auto _ : state) {
        TGraphicsProvider::VertGradient(target.Canvas(), Rect(0, 0, kSize, kSize), clWhite, clNavy);
        benchmark::DoNotOptimize(target.Canvas()->Pixel(1, 1));
    }
    state.SetItemsProcessed(state.iterations() * kSize * kSize);
}
BENCHMARK(BM_VertGradient);

void BM_QLinearGradientPeer(benchmark::State& state) {
    QImage target = Background().Image();
    for (auto _ : state) {
        QPainter p(&target);
        QLinearGradient g(0, 0, 0, kSize);
        g.setColorAt(0, Qt::white);
        g.setColorAt(1, QColor(0, 0, 128));
        p.fillRect(target.rect(), g);
        p.end();
        benchmark::DoNotOptimize(target.pixel(1, 1));
    }
    state.SetItemsProcessed(state.iterations() * kSize * kSize);
}
BENCHMARK(BM_QLinearGradientPeer);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
