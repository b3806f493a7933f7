#include "results/ui/foundfiledevice.h"

#include "doubles/faultysectorsource.h"
#include "doubles/memorysectorsource.h"

#include <gtest/gtest.h>

namespace salvyn {
namespace {

// A found file of 5 MiB and a bit from sector 100, read in jumps as a player does: every
// byte at its own place, an unreadable sector as zeros, nothing past the file's end.
TEST(FoundFileDevice, ReadsTheFileAnywhereWithUnreadableSectorsAsZeros)
{
    constexpr std::uint64_t first = 100, bytes = (5 << 20) + 300, bad = first + 5000;
    std::vector<std::uint8_t> disk((first + 12000) * kSectorSize);
    for (std::size_t k = 0; k < disk.size(); ++k)
        disk[k] = static_cast<std::uint8_t>(k * 7 + k / 4099);
    MemorySectorOpener memory;
    memory.addImage("card", disk);
    FaultySectorOpener faulty(memory, {{bad}, {}});
    FoundFileDevice device(faulty.open("card").stream, first, bytes);
    ASSERT_EQ(device.size(), qint64(bytes));

    const auto expected = [&](std::uint64_t offset) {
        const std::uint64_t onDisk = first * kSectorSize + offset;
        return onDisk / kSectorSize == bad ? 0 : disk[onDisk];
    };
    for (const std::uint64_t offset : {bytes - 5000, std::uint64_t(0), (bad - first) * kSectorSize - 100,
                                       std::uint64_t(3 << 20), std::uint64_t(1 << 20) - 10}) {
        ASSERT_TRUE(device.seek(qint64(offset)));
        const auto wanted = qsizetype(std::min<std::uint64_t>(8192, bytes - offset));
        QByteArray read; // a read may end at a chunk boundary, as a file's may end early
        for (QByteArray more = device.read(wanted); !more.isEmpty(); more = device.read(wanted - read.size()))
            read += more;
        ASSERT_EQ(read.size(), wanted) << offset;
        for (qsizetype k = 0; k < read.size(); ++k)
            ASSERT_EQ(std::uint8_t(read[k]), expected(offset + k)) << offset + k;
    }
    EXPECT_TRUE(device.seek(qint64(bytes)));
    EXPECT_TRUE(device.read(10).isEmpty());
}

} // namespace
} // namespace salvyn
