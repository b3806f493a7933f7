#pragma once
// Disk images with known bytes at known sectors, and a front end and a found-file list that
// write down what a search did, for the scan tests.
#include "doubles/faultysectorsource.h"
#include "doubles/memorysectorsource.h"
#include "results/foundfilesink.h"
#include "results/resultrows.h"
#include "results/sha256.h"
#include "scan/photopass.h"
#include "scan/progress.h"
#include "scan/rawfilepass.h"
#include "scan/scancontext.h"
#include "scan/searchrun.h"
#include "signatures/hexconversion.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace salvyn::test {

// A signature record as the loader makes it (entry 6 from the header's first two characters).
inline SignatureList record(const std::string& type, const std::string& maxSize, const std::string& header,
                            const std::string& position)
{
    return {type, maxSize, header, position, "", type + " file", std::to_string(hex2int(header.substr(0, 2)))};
}

inline SignatureList concat(std::initializer_list<SignatureList> records)
{
    SignatureList list;
    for (const auto& one : records)
        list.insert(list.end(), one.begin(), one.end());
    return list;
}

inline std::vector<std::uint8_t> hexBytes(const std::string& hex)
{
    std::vector<std::uint8_t> bytes;
    for (std::size_t k = 0; k + 1 < hex.size(); k += 2)
        bytes.push_back(static_cast<std::uint8_t>(hex2int(hex.substr(k, 2))));
    return bytes;
}

inline std::string sha256Of(std::span<const std::uint8_t> bytes)
{
    Sha256 digest;
    digest.update(bytes);
    return digest.finishHex();
}

class DiskImage {
public:
    explicit DiskImage(std::uint64_t sectors) : m_bytes(sectors * kSectorSize, 0) {}

    // Bytes at a byte offset within a sector.
    DiskImage& put(std::uint64_t sector, std::size_t offset, const std::vector<std::uint8_t>& bytes)
    {
        std::copy(bytes.begin(), bytes.end(), m_bytes.begin() + static_cast<std::ptrdiff_t>(sector * kSectorSize + offset));
        return *this;
    }
    // Sectors first..end-1 filled with non-blank bytes that hold no header (byte 0 is 0x11).
    DiskImage& fill(std::uint64_t first, std::uint64_t end, std::uint8_t seed = 1)
    {
        for (std::uint64_t s = first; s < end; ++s)
            for (std::size_t k = 0; k < kSectorSize; ++k)
                m_bytes[s * kSectorSize + k] = static_cast<std::uint8_t>(k == 0 ? 0x11 : (s * 31 + k * 7 + seed) | 1);
        return *this;
    }
    std::vector<std::uint8_t> sectors(std::uint64_t first, std::uint64_t end) const
    {
        return {m_bytes.begin() + static_cast<std::ptrdiff_t>(first * kSectorSize),
                m_bytes.begin() + static_cast<std::ptrdiff_t>(end * kSectorSize)};
    }
    // The same content moved `shift` sectors further in, blank before it.
    DiskImage shifted(std::uint64_t shift) const
    {
        DiskImage moved(m_bytes.size() / kSectorSize + shift);
        std::copy(m_bytes.begin(), m_bytes.end(), moved.m_bytes.begin() + static_cast<std::ptrdiff_t>(shift * kSectorSize));
        return moved;
    }
    const std::vector<std::uint8_t>& bytes() const { return m_bytes; }
    std::uint64_t sectorCount() const { return m_bytes.size() / kSectorSize; }

private:
    std::vector<std::uint8_t> m_bytes;
};

// Calls `beforeRead` with the sector number before each read: a test presses Stop or makes
// the driver throw at a chosen sector that way.
struct BeforeReadOpener : FaultySectorOpener {
    BeforeReadOpener(SectorSourceOpener& inner, std::function<void(std::uint64_t)> beforeRead)
        : FaultySectorOpener(inner, {{}, {}, std::move(beforeRead)}) {}
};

// Holds the thread that reads a chosen sector until the test lets it go; hand `hold` to a
// BeforeReadOpener.
class SectorGate {
public:
    explicit SectorGate(std::uint64_t sector) : m_sector(sector) {}
    void hold(std::uint64_t sector)
    {
        if (sector != m_sector)
            return;
        m_reached.test_and_set();
        m_reached.notify_all();
        m_released.wait(false);
    }
    void waitUntilReached() { m_reached.wait(false); }
    void release()
    {
        m_released.test_and_set();
        m_released.notify_all();
    }

private:
    const std::uint64_t m_sector;
    std::atomic_flag m_reached, m_released;
};

struct FoundPhoto {
    std::vector<std::uint8_t> bytes; // none when the sink keeps no bytes
    std::string name, uid;
    std::uint64_t firstSector = 0, endSector = 0;
    bool operator==(const FoundPhoto&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const FoundPhoto& p)
{
    return out << p.name << " (" << p.uid << ") [" << p.firstSector << ", " << p.endSector << "), " << p.bytes.size()
               << " bytes";
}

struct FoundRawFile {
    std::string name, uid;
    std::uint64_t firstSector, endSector;
    bool operator==(const FoundRawFile&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const FoundRawFile& file)
{
    return out << file.name << " [" << file.firstSector << ", " << file.endSector << ")";
}

// Keeps what it is given, as the found-file list would; raw files are counted into `rows`.
// With `keepsPhotoBytes` off it takes photos by their sectors, as the command line does.
class RecordingSink : public FoundFileSink {
public:
    explicit RecordingSink(ResultRows* rows = nullptr) : m_rows(rows) {}

    void addImageWithDataAt(const std::string& name, const std::string& uid, std::uint64_t firstSector,
                            std::uint64_t endSector) override
    {
        photos.push_back({std::exchange(m_photoBytes, {}), name, uid, firstSector, endSector});
        afterPhoto();
    }
    bool wantsPhotoBytes() const override { return keepsPhotoBytes; }
    void addPhotoBytes(std::span<const std::uint8_t> bytes) override
    {
        m_photoBytes.insert(m_photoBytes.end(), bytes.begin(), bytes.end());
    }
    void addImageWithData_2(const std::string& name, const std::string& uid, std::uint64_t firstSector,
                            std::uint64_t endSector) override
    {
        rawFiles.push_back({name, uid, firstSector, endSector});
        if (m_rows)
            m_rows->countFoundFile(name);
    }

    std::vector<FoundPhoto> photos;
    std::vector<FoundRawFile> rawFiles;
    std::function<void()> afterPhoto = [] {};
    bool keepsPhotoBytes = true;

private:
    ResultRows* m_rows;
    std::vector<std::uint8_t> m_photoBytes; // of the photo being collected
};

// Lines written down in order, from any thread.
class EventLog {
public:
    std::vector<std::string> events() const
    {
        std::lock_guard lock(m_lock);
        return m_events;
    }
    int count(const std::string& prefix) const
    {
        const auto all = events();
        return static_cast<int>(std::count_if(all.begin(), all.end(), [&](const auto& e) { return e.rfind(prefix, 0) == 0; }));
    }

protected:
    void note(std::string event)
    {
        std::lock_guard lock(m_lock);
        m_events.push_back(std::move(event));
    }

private:
    mutable std::mutex m_lock;
    std::vector<std::string> m_events;
};

// Writes down every call as one line, in order; may run on any thread.
class RecordingHost : public ScanHost, public EventLog {
public:
    // Every pass shows its own caption; a mismatch shows up in the pass's name.
    void passStarted(const std::string& name, const std::string& caption) override
    {
        note("pass " + name + (caption == passCaption(name) ? "" : " with another pass's caption"));
    }
    void progressSetUp(std::uint64_t start, std::uint64_t end) override
    {
        note("progress " + std::to_string(start) + " " + std::to_string(end));
    }
    void deviceOpened() override { note("opened"); }
    void deviceOpenFailed(const SectorSourceError& error) override { note("open failed: " + error.message); }
    void showReadError(std::uint64_t failedReads) override { note("read error " + std::to_string(failedReads)); }
    void stopTicker() override { note("stop ticker"); }
    void Final_or_Stop_Screen() override { note("final"); }
};

// A search over one in-memory image, with everything it reports written down.
struct ScanBench {
    explicit ScanBench(const DiskImage& image, int mode = 0, SignatureList generalList = {})
    {
        request.generalList = std::move(generalList);
        opener.addImage("disk9", image.bytes());
        request.sourceIdentifier = "disk9";
        request.recoveryMode = mode;
        request.sectorCountText = std::to_string(image.sectorCount());
    }
    void range(std::uint64_t start, std::uint64_t end)
    {
        request.entireDiskChosen = false; request.sectorRangeChosen = true;
        request.startSectorText = std::to_string(start); request.endSectorText = std::to_string(end);
    }
    ScanContext context(SectorSourceOpener* through = nullptr)
    {
        return ScanContext{request, state, host, sink, through ? *through : opener, &rows};
    }
    // One pass of the kind the mode searches with: photo for mode 0, raw file otherwise.
    bool pass(const std::string& name, SectorSourceOpener* through = nullptr)
    {
        auto run = context(through);
        return request.recoveryMode == 0 ? Photo_Recovey_Mode(run, name) : Raw_File_Recovey_Mode(run, name);
    }
    void search(SectorSourceOpener* through = nullptr)
    {
        auto run = context(through);
        runSearch(run);
    }

    MemorySectorOpener opener;
    SearchRequest request;
    SearchState state;
    RecordingHost host;
    ResultRows rows;
    RecordingSink sink{&rows};
};

} // namespace salvyn::test
