#include "results/inflightbudget.h"

namespace salvyn {

bool InFlightBudget::fits(std::uint64_t bytes) const
{
    return m_items == 0 || (m_items < m_mostItems && bytes <= m_mostBytes - std::min(m_bytes, m_mostBytes));
}

void InFlightBudget::take(std::uint64_t bytes)
{
    m_bytes += bytes;
    ++m_items;
}

void InFlightBudget::acquire(std::uint64_t bytes)
{
    std::unique_lock lock(m_mutex);
    m_released.wait(lock, [&] { return fits(bytes); });
    take(bytes);
}

bool InFlightBudget::tryAcquire(std::uint64_t bytes)
{
    std::lock_guard lock(m_mutex);
    if (!fits(bytes))
        return false;
    take(bytes);
    return true;
}

void InFlightBudget::release(std::uint64_t bytes)
{
    {
        std::lock_guard lock(m_mutex);
        m_bytes -= std::min(bytes, m_bytes);
        --m_items;
    }
    m_released.notify_all();
}

void InFlightBudget::waitUntilIdle()
{
    std::unique_lock lock(m_mutex);
    m_released.wait(lock, [&] { return m_items == 0; });
}

} // namespace salvyn
