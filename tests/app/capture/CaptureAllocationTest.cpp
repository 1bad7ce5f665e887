// SPDX-License-Identifier: GPL-3.0-or-later
// What the capture thread allocates per block, with the real window at the other end: a
// replaced operator new counts the calls made on the capture thread while blocks are
// handled. The recording's own growth is a realloc and isn't counted; nothing else may be.
#include "MainFormFixture.h"
#include "QtTestMain.h"
#include "app/controls/FilenameEdit.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <atomic>
#include <cstdlib>
#include <new>
#include <thread>

namespace {

std::atomic<bool> counting{false};
std::atomic<long> captureAllocations{0};
thread_local bool onCaptureThread = false;
thread_local bool inFakeDevice = false; // the test's device allocates for its own records

void* Allocate(std::size_t size) {
    if (onCaptureThread && !inFakeDevice && counting.load(std::memory_order_relaxed)) {
        captureAllocations.fetch_add(1, std::memory_order_relaxed);
    }
    if (void* p = std::malloc(size ? size : 1)) {
        return p;
    }
    throw std::bad_alloc();
}

} // namespace

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

namespace tessmar::test {
namespace {

// The fixture's device, which marks the thread that gives blocks back as the capture thread.
class MarkingWaveIn : public WaveInApi {
public:
    explicit MarkingWaveIn(FakeWaveIn& device) : device_(device) {}
    MMRESULT waveInOpen(HWAVEIN* handle, std::uint32_t id, const WaveFormatEx* format,
                        std::uintptr_t callback, std::uintptr_t instance,
                        std::uint32_t flags) override {
        return device_.waveInOpen(handle, id, format, callback, instance, flags);
    }
    MMRESULT waveInPrepareHeader(HWAVEIN h, WaveHdr* header, std::uint32_t size) override {
        return device_.waveInPrepareHeader(h, header, size);
    }
    MMRESULT waveInAddBuffer(HWAVEIN h, WaveHdr* header, std::uint32_t size) override {
        onCaptureThread = std::this_thread::get_id() != window_;
        inFakeDevice = true;
        const MMRESULT result = device_.waveInAddBuffer(h, header, size);
        inFakeDevice = false;
        return result;
    }
    MMRESULT waveInStart(HWAVEIN h) override { return device_.waveInStart(h); }
    MMRESULT waveInStop(HWAVEIN h) override { return device_.waveInStop(h); }
    MMRESULT waveInReset(HWAVEIN h) override { return device_.waveInReset(h); }
    MMRESULT waveInClose(HWAVEIN h) override { return device_.waveInClose(h); }

private:
    FakeWaveIn& device_;
    const std::thread::id window_ = std::this_thread::get_id();
};

} // namespace

class CaptureAllocationTest : public QObject {
    Q_OBJECT
private slots:
    void NothingButTheRecordingGrowsPerBlock() {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
        QSKIP("the sanitizers bring their own operator new, which this test would replace");
#endif
        MainFormFixture f;
        MarkingWaveIn device(f.waveIn);
        TMainForm w(MainFormServices{f.profile,
                                     f.dialog,
                                     f.messages,
                                     f.screen,
                                     f.dir / "prog/tessmar",
                                     f.dir / "home",
                                     device,
                                     f.mixer,
                                     f.mediaDevice,
                                     f.events,
                                     {}});
        MainFormProbe ui(w);
        const std::string file = f.dir / "take.wav";
        ui.FilenameEdit2->SetFileName(file);
        w.show();
        constexpr int kWarmUp = 2;
        constexpr int kCounted = 30;
        bool done = false;
        QTimer::singleShot(0, &w, [&] {
            for (int block = 0; block < kWarmUp + kCounted; ++block) {
                counting = block >= kWarmUp;
                QVERIFY(f.waveIn.WaitForQueued(2));
                QVERIFY(f.waveIn.Fill(4096, std::uint8_t(block))); // a trace to draw
                QVERIFY(f.waveIn.WaitForQueued(2));                // handled and given back
                QTest::qWait(2); // the window fetches note and trace and paints
            }
            counting = false;
            done = true;
            ui.CancelFlag = true;
        });
        ui.KonvertBtn->click();
        QVERIFY(done);
        QCOMPARE(captureAllocations.load(), 0L);
        // The blocks were kept all the same.
        QCOMPARE(std::filesystem::file_size(file), 44u + 4096u * (kWarmUp + kCounted));
    }
};

} // namespace tessmar::test

TESSMAR_QTEST_MAIN(tessmar::test::CaptureAllocationTest)
#include "CaptureAllocationTest.moc"
