#include "results/ui/foundfiledetailsjob.h"

#include "platform/sectorsourceopener.h"
#include "results/sectorbytereader.h"
#include "results/ui/foundfilelist.h"
#include "scan/naming.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QImageReader>

namespace salvyn {

namespace {

// A batch goes to the list at least this often, so sizes appear while the rest is measured.
constexpr qint64 kBatchIntervalMs = 100;
// Pictures larger than this are not decoded for the check: the format end has spoken.
constexpr std::uint64_t kMostDecodedBytes = 64ull << 20;

bool qtReadsType(const std::string& type)
{
    static const QList<QByteArray> formats = QImageReader::supportedImageFormats();
    return formats.contains(QByteArray::fromStdString(type).toLower());
}

// Whether a picture decodes at all: a file whose structure is whole but whose image data
// is broken is damaged.
bool pictureDecodes(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    return !reader.read().isNull();
}

} // namespace

FoundFileDetailsJob::FoundFileDetailsJob(FoundFileList& images, SectorSourceOpener& opener, QObject* parent)
    : QObject(parent), m_images(images), m_opener(opener)
{
    // The rows measured are gone: a new search or Back emptied the list.
    connect(&images, &QAbstractItemModel::modelAboutToBeReset, this, &FoundFileDetailsJob::cancel);
}

FoundFileDetailsJob::~FoundFileDetailsJob()
{
    cancel();
    for (const QPointer<QThread>& thread : m_givenUp)
        if (thread) {
            thread->wait();
            delete thread;
        }
}

void FoundFileDetailsJob::cancel()
{
    if (!m_thread)
        return;
    m_cancelled->store(true);
    // One file may take long to measure (a large video): the window does not wait for it.
    connect(m_thread, &QThread::finished, m_thread, &QObject::deleteLater);
    if (m_thread->isFinished())
        delete m_thread; // a deleteLater it may have posted goes with it
    else
        m_givenUp.emplace_back(m_thread);
    std::erase_if(m_givenUp, [](const QPointer<QThread>& thread) { return thread.isNull(); });
    m_thread = nullptr;
}

void FoundFileDetailsJob::start(std::vector<FileToSave> found, std::string medium, std::uint64_t searchedEnd)
{
    cancel();
    m_cancelled = std::make_shared<std::atomic<bool>>(false);
    m_thread = QThread::create([this, found = std::move(found), medium = std::move(medium), searchedEnd,
                                cancelled = m_cancelled] { measure(found, medium, searchedEnd, cancelled); });
    m_thread->setObjectName(QStringLiteral("salvyn-details"));
    m_thread->start(QThread::LowPriority);
}

void FoundFileDetailsJob::measure(const std::vector<FileToSave>& found, const std::string& medium,
                                  std::uint64_t searchedEnd, const std::shared_ptr<std::atomic<bool>>& cancelled)
{
    const SectorSourceOpening opening = m_opener.open(medium);
    if (!opening.stream)
        return;
    SavingPlan plan;
    for (const FileToSave& file : found)
        plan.add(file.name, file.firstSector, file.endSector);
    plan.setSearchedEnd(searchedEnd);
    SectorByteReader reader(*opening.stream);
    const auto deliver = [&](int firstRow, std::vector<FoundFileDetails>& batch) {
        if (batch.empty())
            return;
        QMetaObject::invokeMethod(
            &m_images,
            [images = &m_images, cancelled, firstRow, shown = std::move(batch)] {
                if (!cancelled->load())
                    images->setDetails(firstRow, shown);
            },
            Qt::QueuedConnection);
        batch.clear();
    };
    std::vector<FoundFileDetails> batch;
    int batchStart = 0;
    QElapsedTimer sinceBatch;
    sinceBatch.start();
    for (std::size_t index = 0; index < found.size() && !cancelled->load(); ++index) {
        FoundFileDetails details = describeFoundFile(plan, index, reader);
        const std::uint64_t bytes = details.length.bytes;
        if (details.condition != FileCondition::Damaged && bytes > 0 && bytes <= kMostDecodedBytes
            && qtReadsType(pathExtension(found[index].name))) {
            QByteArray picture(static_cast<qsizetype>(bytes), Qt::Uninitialized);
            const std::size_t read = reader.readAt(found[index].firstSector * kSectorSize,
                                                   reinterpret_cast<std::uint8_t*>(picture.data()), bytes);
            if (read < bytes || !pictureDecodes(picture))
                details.condition = FileCondition::Damaged;
        }
        batch.push_back(std::move(details));
        if (sinceBatch.hasExpired(kBatchIntervalMs)) {
            deliver(batchStart, batch);
            batchStart = static_cast<int>(index) + 1;
            sinceBatch.restart();
        }
    }
    deliver(batchStart, batch);
}

} // namespace salvyn
