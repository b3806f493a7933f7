#pragma once
// The search worker's front end in the desktop app: every call of a pass is carried over
// to the UI thread and performed there by `target` (the wizard), the worker waiting until
// it is done, so controls are only ever touched on the UI thread.
#include "scan/scanhost.h"

class QObject;

namespace salvyn {

class UiThreadScanHost final : public ScanHost {
public:
    UiThreadScanHost(QObject* uiObject, ScanHost& target) : m_uiObject(uiObject), m_target(target) {}

    void passStarted(const std::string& passName, const std::string& caption) override;
    void progressSetUp(std::uint64_t startSector, std::uint64_t endSector) override;
    void deviceOpened() override;
    void deviceOpenFailed(const SectorSourceError& error) override;
    void showReadError(std::uint64_t failedReads) override;
    void stopTicker() override;
    void Final_or_Stop_Screen() override;

private:
    QObject* m_uiObject;
    ScanHost& m_target;
};

} // namespace salvyn
