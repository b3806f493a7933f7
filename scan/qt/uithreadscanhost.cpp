#include "scan/qt/uithreadscanhost.h"

#include "scan/qt/runonui.h"

namespace salvyn {

void UiThreadScanHost::passStarted(const std::string& passName, const std::string& caption)
{
    runOnUi(m_uiObject, [&] { m_target.passStarted(passName, caption); });
}

void UiThreadScanHost::progressSetUp(std::uint64_t startSector, std::uint64_t endSector)
{
    runOnUi(m_uiObject, [&] { m_target.progressSetUp(startSector, endSector); });
}

void UiThreadScanHost::deviceOpened()
{
    runOnUi(m_uiObject, [&] { m_target.deviceOpened(); });
}

void UiThreadScanHost::deviceOpenFailed(const SectorSourceError& error)
{
    runOnUi(m_uiObject, [&] { m_target.deviceOpenFailed(error); });
}

void UiThreadScanHost::showReadError(std::uint64_t failedReads)
{
    runOnUi(m_uiObject, [&] { m_target.showReadError(failedReads); });
}

void UiThreadScanHost::stopTicker()
{
    runOnUi(m_uiObject, [&] { m_target.stopTicker(); });
}

void UiThreadScanHost::Final_or_Stop_Screen()
{
    runOnUi(m_uiObject, [&] { m_target.Final_or_Stop_Screen(); });
}

} // namespace salvyn
