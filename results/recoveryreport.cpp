#include "results/recoveryreport.h"

#include "results/invokinguser.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace salvyn {

namespace {

std::string reportField(std::string text)
{
    for (char& c : text)
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    return text;
}

} // namespace

RecoveryReport::RecoveryReport(const std::filesystem::path& path, std::string medium) : m_medium(std::move(medium))
{
    // Without blocking, so a FIFO planted at the name cannot hang the save; a device node or
    // anything else but an ordinary file is never written to.
    m_fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (m_fd < 0) {
        m_error = errno;
        return;
    }
    struct stat info {};
    if (::fstat(m_fd, &info) != 0)
        m_error = errno;
    else if (!S_ISREG(info.st_mode))
        m_error = EINVAL;
    else if (info.st_size == 0) {
        handToInvokingUser(m_fd); // new: made for the person recovering, like the files it lists
        m_error = append(reportHeaderLine() + '\n');
    }
}

RecoveryReport::~RecoveryReport()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

int RecoveryReport::add(const SavedFile& file)
{
    return m_error != 0 ? m_error : append(reportLine(file, m_medium) + '\n');
}

// One write per line: with O_APPEND a line is never split by another writer of the report.
int RecoveryReport::append(const std::string& line)
{
    for (;;) {
        const ssize_t wrote = ::write(m_fd, line.data(), line.size());
        if (wrote == static_cast<ssize_t>(line.size()))
            return 0;
        if (wrote < 0 && errno == EINTR)
            continue;
        return wrote < 0 ? errno : ENOSPC;
    }
}

std::string reportHeaderLine()
{
    return "name\ttype\tfirst_sector\tend_sector\tbytes\tsha256\tlength_from\tmedium\tcondition\tfound_name";
}

std::string reportLine(const SavedFile& file, const std::string& medium)
{
    return reportField(file.name) + '\t' + reportField(file.type) + '\t' + std::to_string(file.firstSector) + '\t'
         + std::to_string(file.endSector) + '\t' + std::to_string(file.byteCount) + '\t' + file.sha256 + '\t'
         + file.lengthFrom + '\t' + reportField(medium) + '\t' + file.condition + '\t'
         + reportField(file.foundName);
}

} // namespace salvyn
