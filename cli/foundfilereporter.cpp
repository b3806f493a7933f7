#include "cli/foundfilereporter.h"

#include "results/recentsectors.h"
#include "results/sectorbytereader.h"
#include "scan/naming.h"

#include <cstdio>
#include <cstring>

namespace salvyn {

namespace {

std::string foundLine(const std::string& name, const std::string& type, std::uint64_t first, std::uint64_t end)
{
    char text[128];
    std::snprintf(text, sizeof text, "  %-5s  first sector %llu  end sector %llu", type.c_str(),
                  static_cast<unsigned long long>(first), static_cast<unsigned long long>(end));
    return name + text;
}

} // namespace

FoundFileReporter::FoundFileReporter(Console& console, ResultRows& rows, std::optional<FileSaver> saver,
                                     RecoveryReport* report, SectorSourceOpener& opener, std::string medium)
    : m_console(console), m_rows(rows), m_saver(std::move(saver)), m_report(report), m_opener(opener),
      m_medium(std::move(medium))
{
}

void FoundFileReporter::addImageWithDataAt(const std::string& name, const std::string& uid, std::uint64_t firstSector,
                                           std::uint64_t endSector)
{
    (void)uid;
    found(name, firstSector, endSector);
    if (m_saver)
        m_plan.add(name, firstSector, endSector);
}

void FoundFileReporter::addImageWithData_2(const std::string& name, const std::string& uid, std::uint64_t firstSector,
                                           std::uint64_t endSector)
{
    (void)uid;
    m_rows.countFoundFile(name);
    found(name, firstSector, endSector);
    if (m_saver)
        m_plan.add(name, firstSector, endSector);
}

void FoundFileReporter::saveFound(std::set<std::uint64_t>* savedSectors)
{
    if (!m_saver || m_plan.size() == 0)
        return;
    if (!m_copyStream) {
        SectorSourceOpening opening = m_opener.open(m_medium);
        if (!opening.stream) {
            m_writesFailed = true;
            m_console.errorLine("salvyn-scan: " + opening.error.message);
            return;
        }
        m_copyStream = std::move(opening.stream);
    }
    // Each file's sectors are read once: walked to its end, then copied from what was read.
    RecentSectorsStream medium(*m_copyStream);
    SectorByteReader reader(medium);
    std::set<std::uint64_t> savedHere;
    for (std::size_t index = 0; index < m_plan.size(); ++index) {
        const std::uint64_t first = m_plan.firstSector(index);
        if (savedSectors != nullptr && savedSectors->contains(first))
            continue;
        record(m_plan.save(index, m_plan.lengthOf(index, reader), *m_saver, medium));
        savedHere.insert(first);
    }
    if (savedSectors != nullptr)
        savedSectors->insert(savedHere.begin(), savedHere.end());
}

void FoundFileReporter::found(const std::string& name, std::uint64_t firstSector, std::uint64_t endSector)
{
    const std::string type = pathExtension(name);
    ++m_countByType[type];
    ++m_total;
    m_console.line(foundLine(name, type, firstSector, endSector));
}

void FoundFileReporter::record(const SavedFile& saved)
{
    if (!saved.error.empty()) {
        m_writesFailed = true;
        m_console.errorLine("salvyn-scan: " + saved.error);
        return;
    }
    if (!m_report || m_reportFailed)
        return;
    if (const int error = m_report->add(saved); error != 0) {
        m_reportFailed = m_writesFailed = true;
        m_console.errorLine("salvyn-scan: cannot write the report: " + std::string(std::strerror(error)));
    }
}

void FoundFileReporter::printSummary()
{
    m_console.line("Found " + std::to_string(m_total) + (m_total == 1 ? " file" : " files")
                   + (m_total == 0 ? "." : ":"));
    for (const auto& [type, count] : m_countByType) {
        char text[64];
        std::snprintf(text, sizeof text, "  %-6s %llu", type.c_str(), static_cast<unsigned long long>(count));
        m_console.line(text);
    }
}

} // namespace salvyn
