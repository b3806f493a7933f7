#include "scan/searchstate.h"

namespace salvyn {

void SearchState::beginPreview()
{
    std::lock_guard lock(m_previewLock);
    m_previewActive = true;
}

bool SearchState::endPreviewAndTakeHandoff()
{
    std::lock_guard lock(m_previewLock);
    m_previewActive = false;
    const bool handedOver = m_handoff;
    m_handoff = false;
    return handedOver;
}

bool SearchState::handOffToPreview()
{
    std::lock_guard lock(m_previewLock);
    if (!m_previewActive)
        return false;
    m_handoff = true;
    stop_now.store(1);
    return true;
}

void SearchState::beginListingOnce()
{
    m_generalFinds.emplace();
}

void SearchState::endListingOnce()
{
    m_generalFinds.reset();
}

void SearchState::rememberGeneralFind(std::uint64_t firstSector)
{
    if (m_generalFinds)
        m_generalFinds->insert(firstSector);
}

bool SearchState::listedByGeneralPass(std::uint64_t firstSector) const
{
    return m_generalFinds && m_generalFinds->count(firstSector) > 0;
}

} // namespace salvyn
