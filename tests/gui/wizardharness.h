#pragma once
// A whole wizard on fakes, for flow tests: a scratch folder with signature lists, disk
// images and the preview folder; alerts answered from a script; modal windows and the
// folder chooser recorded; media opened through a gate that can hold a read so a test
// can press Stop or Cancel while a pass or a save is busy.
#include "app/mytablecontroller.h"
#include "platform/rawsectoropener.h"
#include "resultsuifakes.h"
#include "core/scantestsupport.h"

#include <QtWidgets>
#include <QtTest>
#include <array>
#include <condition_variable>
#include <mutex>
#include <optional>

namespace salvyn::testing {

// Holds the first read of one sector until released. Reads reach it from the search and save threads.
class ReadGate {
public:
    void holdAt(std::uint64_t sector);
    bool waitUntilHeld(); // on the UI thread, serving its events meanwhile
    void waitUntilHeldElsewhere(); // on any other thread
    void release();
    void beforeRead(std::uint64_t sector);

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::optional<std::uint64_t> m_holdSector;
    bool m_held = false, m_released = false;
};

struct Placement { std::uint64_t sector; QByteArray bytes; }; // bytes laid from a sector of an image on

class WizardHarness {
public:
    WizardHarness();
    ~WizardHarness();

    // A signature list file ("ZephExt2.dll" …) from records of (type, size, header, position, description).
    void writeList(const QString& fileName, const std::vector<std::array<QString, 5>>& records);
    // An image of `sectors` zero sectors with the placements; answers its path.
    QString writeImage(const QString& name, std::uint64_t sectors, const std::vector<Placement>& placements);
    void start(); // makes the controller and runs its start-up
    MyTableController& controller() const { return *m_controller; }

    template <typename T>
    T* find(const QString& name) const { return m_controller->findChild<T*>(name); }
    void click(const QString& buttonName) const;
    void selectMedium(int row) const;
    // Serves the UI thread's events until `done` or a generous limit (deadlock guard only).
    static bool waitFor(const std::function<bool()>& done) { return QTest::qWaitFor(done, 60000); }
    bool waitForSearchEnd(); // the search threads have ended and every queued call was served
    int finalScreens() const; // end-of-search windows shown so far

    QTemporaryDir scratch;
    QString resourceFolder = scratch.filePath(QStringLiteral("share"));
    QString previewFolder = scratch.filePath(QStringLiteral("cache/preview"));
    FakeAlerts alerts;
    FakeOpener documents;
    FakeIconProvider icons;
    ReadGate gate;
    RawSectorOpener realMedia;
    test::BeforeReadOpener media{realMedia, [this](std::uint64_t sector) { gate.beforeRead(sector); }};
    QStringList events; // modal windows and choosers, in order
    FakeModalRunner modalRunner{events};
    FakeFolderChooser folderChooser{events};
    FakeMoviePlayer movies; // opens none: every preview goes to the picture or icon
    std::vector<bool> terminations; // the argument of every terminate call

private:
    std::unique_ptr<MyTableController> m_controller;
};

} // namespace salvyn::testing
