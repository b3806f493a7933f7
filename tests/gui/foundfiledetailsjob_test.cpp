// The details of found files, measured after a search off the UI thread: what each cell
// and its tool tip show, the mark, and the browsers' order and size filter over them.
#include "doubles/memorysectorsource.h"
#include "results/ui/foundfiledetailsjob.h"
#include "results/ui/foundfilelist.h"
#include "results/ui/imagebrowserview.h"
#include "results/ui/resultstablemodel.h"
#include "resultsuifakes.h"

#include <QtTest>
#include <gtest/gtest.h>

namespace salvyn {
namespace {

TEST(FoundFileDetailsJob, CellsShowSizeAndMarkAndTheBrowserSortsAndHidesBySize)
{
    // A whole photo at sector 0 and the same photo cut short after it, then free space.
    const QByteArray jpeg = testing::twoColourJpeg(640, 480);
    ASSERT_LT(jpeg.size(), 10 * 1024);
    const QByteArray cut = jpeg.left(jpeg.size() / 2);
    QByteArray card = jpeg.leftJustified(100 * 512, '\0');
    card.replace(60 * 512, cut.size(), cut);
    MemorySectorOpener opener;
    opener.addImage("card", std::vector<std::uint8_t>(card.begin(), card.end()));

    testing::FakeIconProvider icons;
    ResultsTableModel table;
    FoundFileList images(icons, table, [] { return 0; });
    images.addImageWithData(jpeg, QStringLiteral("GND00001.JPG"), QStringLiteral("1"), 0);
    images.addImageWithData(cut, QStringLiteral("GND00002.JPG"), QStringLiteral("2"), 60);
    images.flushPending();
    ImageBrowserView browser(FoundFileList::Kind::Photo);
    browser.setFoundFileList(&images);

    FoundFileDetailsJob job(images, opener);
    job.start({{"GND00001.JPG", 0, 60}, {"GND00002.JPG", 60, 100}}, "card", 100);
    ASSERT_TRUE(QTest::qWaitFor([&] { return images.measuredCount() == 2; }, 10000));

    const auto cell = [&](int row, int role) { return images.data(images.index(row), role); };
    EXPECT_EQ(cell(0, FoundFileList::ConditionRole).toInt(), static_cast<int>(FileCondition::Whole));
    EXPECT_EQ(cell(1, FoundFileList::ConditionRole).toInt(), static_cast<int>(FileCondition::Damaged));
    EXPECT_EQ(cell(0, FoundFileList::DetailsRole).toString(),
              QLocale().formattedDataSize(jpeg.size(), 1, QLocale::DataSizeTraditionalFormat));
    EXPECT_TRUE(cell(1, Qt::ToolTipRole).toString().contains(QStringLiteral("Sectors 60 to ")));
    EXPECT_EQ(images.measuredBytes(), static_cast<std::uint64_t>(jpeg.size()) + 40 * 512);

    // The cut photo runs to the end of the card, so it is the larger, and the whole one is small.
    browser.setOrder(ResultSort::Size, false);
    EXPECT_EQ(browser.indexOfRow(1).row(), 0);
    browser.setOrder(std::nullopt, true);
    EXPECT_EQ(browser.model()->rowCount(), 1);
    EXPECT_FALSE(browser.indexOfRow(0).isValid());
}

} // namespace
} // namespace salvyn
