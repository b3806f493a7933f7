// Whole searches through the wizard on disk images made here, with files at known
// sectors: photos to the result screen, video/raw/audio types with their counts, Stop in
// either pass, and a medium that cannot be opened.
#include "app/wizardtexts.h"
#include "results/ui/foundfilelist.h"
#include "results/ui/resultstablemodel.h"
#include "signatures/qt/checklistmodel.h"
#include "wizardharness.h"

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QAbstractItemView>
#include <QFile>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <gtest/gtest.h>

namespace salvyn::testing {
namespace {

QByteArray pngOf(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    return encodeImage(image, "PNG");
}

QByteArray header(const char* hex)
{
    return QByteArray::fromHex(hex) + QByteArray("recovered file body");
}

QStringList namesOf(const FoundFileList& images)
{
    QStringList names;
    for (int row = 0; row < images.rowCount(); ++row)
        names << images.data(images.index(row), Qt::DisplayRole).toString();
    return names;
}

class PhotoSearch : public ::testing::Test {
protected:
    void SetUp() override
    {
        h.writeList(QStringLiteral("ZephExt2.dll"), {{".jpg", "18874368", "FFD8FF", "1", "JPEG picture"}});
        h.writeList(QStringLiteral("ZephExt2Adv.dll"), {{".png", "18874368", "89504E470D0A1A0A", "1", "PNG picture"}});
        image = h.writeImage(QStringLiteral("card.img"), 120,
                             {{10, twoColourJpeg(320, 240)}, {40, twoColourJpeg(60, 90)}, {80, pngOf(150, 50)}});
        h.start();
        ASSERT_TRUE(h.controller().addDiskImage(image).isEmpty());
        h.selectMedium(0);
        h.click(QStringLiteral("Next_btn"));
    }

    bool shown(const QString& name) const { return h.find<QWidget>(name)->isVisibleTo(&h.controller()); }

    WizardHarness h;
    QString image;
};

TEST_F(PhotoSearch, EndsOnTheResultScreenWithAThumbnailPerPhotoOfBothPasses)
{
    h.click(QStringLiteral("Next_btn"));
    ASSERT_TRUE(h.waitForSearchEnd());
    FoundFileList& images = *h.controller().images();
    EXPECT_EQ(namesOf(images), (QStringList{QStringLiteral("GND00001.JPG"), QStringLiteral("GND00002.JPG"),
                                            QStringLiteral("THD00001.PNG")}));
    for (int row = 0; row < images.rowCount(); ++row) {
        const QPixmap thumbnail = images.data(images.index(row), Qt::DecorationRole).value<QPixmap>();
        ASSERT_FALSE(thumbnail.isNull()) << row;
        EXPECT_LE(std::max(thumbnail.width(), thumbnail.height()), 100) << row;
    }
    EXPECT_EQ(h.media.openings(), 2);
    EXPECT_EQ(h.finalScreens(), 1);
    EXPECT_EQ(h.events.last(), QStringLiteral("modal:SaveFile_Info_Window"));
    EXPECT_TRUE(h.alerts.shown.empty());
    EXPECT_EQ(h.find<QLabel>(QStringLiteral("_help_info"))->text(), texts::kHelpSearchEnded);
    EXPECT_TRUE(h.find<QPushButton>(QStringLiteral("Back_btn"))->isEnabled());
    EXPECT_FALSE(h.find<QPushButton>(QStringLiteral("Next_btn"))->isEnabled());
    EXPECT_TRUE(h.find<QCheckBox>(QStringLiteral("_Thro_Mode_Chk"))->isEnabled());
    EXPECT_FALSE(shown(QStringLiteral("_Progress_Horz")));
    EXPECT_FALSE(shown(QStringLiteral("_stop_scan")));
    EXPECT_TRUE(shown(QStringLiteral("_zoom_slider")));
    EXPECT_TRUE(shown(QStringLiteral("_open_folder")));
    EXPECT_TRUE(shown(QStringLiteral("imageBrowser")));
    // The last tick shows the end of the range.
    EXPECT_EQ(h.find<QLabel>(QStringLiteral("_sector_label"))->text(),
              QStringLiteral("Sectors 120 of 120   ( Completed 100% )"));
    EXPECT_EQ(h.find<QProgressBar>(QStringLiteral("_Progress_Horz"))->value(), 120);
    EXPECT_EQ(h.controller().searchState().stop_now.load(), 0);
}

TEST_F(PhotoSearch, ASectorRangeSearchesOnlyThatRangeAndTheBoxOffMeansOnePass)
{
    h.click(QStringLiteral("_Thro_Mode_Chk"));
    h.click(QStringLiteral("_sector_range_rd"));
    h.find<QLineEdit>(QStringLiteral("_Start_slider_val"))->setText(QStringLiteral("30"));
    h.find<QLineEdit>(QStringLiteral("_End_slider_val"))->setText(QStringLiteral("100"));
    h.click(QStringLiteral("Next_btn"));
    ASSERT_TRUE(h.waitForSearchEnd());
    EXPECT_EQ(namesOf(*h.controller().images()), QStringList{QStringLiteral("GND00001.JPG")});
    EXPECT_EQ(h.media.openings(), 1);
    EXPECT_EQ(h.finalScreens(), 1);
    EXPECT_EQ(h.find<QLabel>(QStringLiteral("_sector_label"))->text(),
              QStringLiteral("Sectors 100 of 100   ( Completed 100% )"));
}

TEST_F(PhotoSearch, StopDuringTheGeneralPassShowsTheFinalScreenOnceAndNoThoroughPass)
{
    h.media.holdAt(1, 30);
    h.click(QStringLiteral("Next_btn"));
    ASSERT_TRUE(h.media.waitUntilHeld());
    EXPECT_FALSE(h.find<QPushButton>(QStringLiteral("Back_btn"))->isEnabled());
    EXPECT_FALSE(h.find<QPushButton>(QStringLiteral("Next_btn"))->isEnabled());
    EXPECT_EQ(h.find<QLabel>(QStringLiteral("_help_info"))->text(), texts::kHelpSearchRunning);
    h.click(QStringLiteral("_stop_scan"));
    h.media.release();
    ASSERT_TRUE(h.waitForSearchEnd());
    EXPECT_EQ(h.media.openings(), 1);
    EXPECT_EQ(h.finalScreens(), 1);
    EXPECT_EQ(namesOf(*h.controller().images()), QStringList{QStringLiteral("GND00001.JPG")}); // the partial photo
    EXPECT_TRUE(h.alerts.shown.empty());
    EXPECT_EQ(h.controller().searchState().stop_now.load(), 0);
}

TEST_F(PhotoSearch, StopDuringTheThoroughPassIsShownByThatPassOnly)
{
    h.media.holdAt(2, 60);
    h.click(QStringLiteral("Next_btn"));
    ASSERT_TRUE(h.media.waitUntilHeld());
    h.click(QStringLiteral("_stop_scan"));
    h.media.release();
    ASSERT_TRUE(h.waitForSearchEnd());
    EXPECT_EQ(h.media.openings(), 2);
    EXPECT_EQ(h.finalScreens(), 1);
    EXPECT_EQ(namesOf(*h.controller().images()).size(), 2);
}

TEST_F(PhotoSearch, AMediumThatCannotBeOpenedGoesBackOneScreenWithoutAFinalScreen)
{
    ASSERT_TRUE(QFile::remove(image));
    h.click(QStringLiteral("Next_btn"));
    ASSERT_TRUE(h.waitForSearchEnd());
    ASSERT_EQ(h.alerts.shown.size(), 1u);
    EXPECT_EQ(h.alerts.shown[0].message, QStringLiteral("\nError in storage media reading."));
    EXPECT_TRUE(h.alerts.shown[0].informativeText.isEmpty());
    EXPECT_EQ(h.controller().screen_counter(), 1);
    EXPECT_EQ(h.finalScreens(), 0);
    EXPECT_TRUE(shown(QStringLiteral("_disk_val")));
    EXPECT_FALSE(shown(QStringLiteral("imageBrowser")));
    EXPECT_TRUE(h.find<QPushButton>(QStringLiteral("Next_btn"))->isEnabled());
    EXPECT_TRUE(h.find<QPushButton>(QStringLiteral("Back_btn"))->isEnabled());
}

TEST_F(PhotoSearch, BackFromTheResultsEmptiesTheBrowserAndASecondSearchRunsAgain)
{
    h.click(QStringLiteral("Next_btn"));
    ASSERT_TRUE(h.waitForSearchEnd());
    h.click(QStringLiteral("Back_btn"));
    EXPECT_EQ(h.controller().screen_counter(), 1);
    EXPECT_EQ(h.controller().images()->rowCount(), 0);
    EXPECT_FALSE(shown(QStringLiteral("imageBrowser")));
    EXPECT_FALSE(shown(QStringLiteral("_zoom_slider")));
    EXPECT_FALSE(shown(QStringLiteral("_open_folder")));
    EXPECT_TRUE(shown(QStringLiteral("_disk_val")));
    EXPECT_EQ(h.find<QLabel>(QStringLiteral("_help_info"))->text(), texts::kHelpEntireDisk);
    h.click(QStringLiteral("Next_btn"));
    ASSERT_TRUE(h.waitForSearchEnd());
    EXPECT_EQ(h.finalScreens(), 2);
    // Display names restart with every pass, identifiers count on.
    EXPECT_EQ(namesOf(*h.controller().images()).first(), QStringLiteral("GND00001.JPG"));
}

class RawFileSearch : public ::testing::Test {
protected:
    void SetUp() override
    {
        h.writeList(QStringLiteral("ZephRaw.dll"), {{".zip", "18874368", "504B0304", "1", "ZIP archive"},
                                                    {".pdf", "18874368", "255044462D", "1", "PDF document"}});
        h.writeList(QStringLiteral("ZephRawAdv.dll"), {{".gz", "18874368", "1F8B08", "1", "gzip stream"}});
        const QString image = h.writeImage(QStringLiteral("stick.img"), 100,
                                           {{5, header("504B0304")}, {20, header("255044462D")},
                                            {50, header("504B0304")}, {70, header("1F8B08")}});
        h.start();
        ASSERT_TRUE(h.controller().addDiskImage(image).isEmpty());
        h.click(QStringLiteral("_rec_mode_RawFile"));
        h.selectMedium(0);
        h.click(QStringLiteral("Next_btn"));
        h.click(QStringLiteral("Next_btn"));
        ASSERT_EQ(h.controller().screen_counter(), 2);
    }

    QStringList resultRows() const
    {
        const ResultsTableModel& table = *h.controller().nsSIGFileInfoDataObject();
        QStringList rows;
        for (int row = 0; row < table.rowCount(); ++row)
            rows << table.data(table.index(row, 0)).toString() + QLatin1Char('=') + table.data(table.index(row, 1)).toString();
        return rows;
    }
    void setChecked(const QString& extension, bool checked)
    {
        CheckListModel& list = *h.controller().nsCheckedListDataObject();
        for (int row = 0; row < list.rowCount(); ++row)
            if (list.rows()[row].Extension == extension)
                list.setData(list.index(row, CheckListModel::StateColumn), checked ? Qt::Checked : Qt::Unchecked,
                             Qt::CheckStateRole);
    }

    WizardHarness h;
};

TEST_F(RawFileSearch, EveryTickedTypeIsCountedAcrossBothPasses)
{
    EXPECT_EQ(h.controller().nsCheckedListDataObject()->rowCount(), 3);
    h.click(QStringLiteral("Next_btn"));
    ASSERT_TRUE(h.waitForSearchEnd());
    EXPECT_EQ(resultRows(), (QStringList{QStringLiteral("GZ=1"), QStringLiteral("PDF=1"), QStringLiteral("ZIP=2")}));
    EXPECT_EQ(namesOf(*h.controller().images()),
              (QStringList{QStringLiteral("ZIP00001.ZIP"), QStringLiteral("PDF00001.PDF"), QStringLiteral("ZIP00002.ZIP"),
                           QStringLiteral("GZ00001.GZ")}));
    EXPECT_EQ(h.finalScreens(), 1);
    EXPECT_EQ(h.events.last(), QStringLiteral("modal:SaveFile_Info_For_RAW_Window"));
    EXPECT_TRUE(h.find<QWidget>(QStringLiteral("_open_folder_Sig"))->isVisibleTo(&h.controller()));
    EXPECT_TRUE(h.find<QWidget>(QStringLiteral("idSigTableView"))->isVisibleTo(&h.controller()));
    EXPECT_FALSE(h.find<QWidget>(QStringLiteral("_zoom_slider"))->isVisibleTo(&h.controller()));
}

TEST_F(RawFileSearch, OnlyTheTickedTypesAreHandedOverFromBothLists)
{
    setChecked(QStringLiteral("PDF"), false);
    setChecked(QStringLiteral("GZ"), false);
    h.click(QStringLiteral("Next_btn"));
    EXPECT_EQ(h.controller().CheckListHeader_Array().size(), 7u);
    EXPECT_EQ(h.controller().CheckListHeader_Array()[0], "ZIP");
    EXPECT_TRUE(h.controller().CheckListHeader_Adv_Array().empty());
    ASSERT_TRUE(h.waitForSearchEnd());
    EXPECT_EQ(resultRows(), QStringList{QStringLiteral("ZIP=2")});
    EXPECT_EQ(h.finalScreens(), 1);
}

TEST_F(RawFileSearch, BackFromTheResultsKeepsTheChecksAndANewSearchCountsFromZero)
{
    setChecked(QStringLiteral("PDF"), false);
    h.click(QStringLiteral("Next_btn"));
    ASSERT_TRUE(h.waitForSearchEnd());
    h.click(QStringLiteral("Back_btn"));
    EXPECT_EQ(h.controller().screen_counter(), 2);
    EXPECT_TRUE(h.find<QWidget>(QStringLiteral("idCheckTableView"))->isVisibleTo(&h.controller()));
    EXPECT_EQ(h.find<QLabel>(QStringLiteral("_help_info"))->text(), texts::kHelpCheckList);
    const auto& rows = h.controller().nsCheckedListDataObject()->rows();
    ASSERT_EQ(rows.size(), 3);
    EXPECT_TRUE(rows[0].State);  // GZ
    EXPECT_FALSE(rows[1].State); // PDF
    EXPECT_TRUE(rows[2].State);  // ZIP
    EXPECT_EQ(resultRows(), (QStringList{QStringLiteral("GZ=1"), QStringLiteral("ZIP=2")}));
    h.click(QStringLiteral("Next_btn"));
    ASSERT_TRUE(h.waitForSearchEnd());
    EXPECT_EQ(resultRows(), (QStringList{QStringLiteral("GZ=1"), QStringLiteral("ZIP=2")}));
    EXPECT_EQ(h.finalScreens(), 2);
}

TEST_F(RawFileSearch, ResultsTableStaysConsistentWhileFilesStreamIn)
{
    QAbstractItemModelTester tableTester(h.controller().nsSIGFileInfoDataObject(),
                                         QAbstractItemModelTester::FailureReportingMode::Warning);
    QAbstractItemModelTester listTester(h.controller().images(), QAbstractItemModelTester::FailureReportingMode::Warning);
    h.click(QStringLiteral("Next_btn"));
    ASSERT_TRUE(h.waitForSearchEnd());
    EXPECT_EQ(h.controller().images()->rowCount(), 4);
}

TEST_F(RawFileSearch, SelectingAFoundFileCopiesItsSectorsIntoThePreviewAndNamesTheBox)
{
    h.click(QStringLiteral("Next_btn"));
    ASSERT_TRUE(h.waitForSearchEnd());
    auto* browser = h.find<QAbstractItemView>(QStringLiteral("imageBrowser_2"));
    browser->selectionModel()->select(browser->model()->index(0, 0), QItemSelectionModel::ClearAndSelect);
    const QString preview = h.previewFolder + QStringLiteral("/dprv.ZIP");
    EXPECT_EQ(h.controller().preview_file_path(), preview);
    QFile copy(preview);
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    const QByteArray bytes = copy.readAll();
    EXPECT_EQ(bytes.size(), (21 - 5) * 512); // the first ZIP ends with the PDF's header sector
    EXPECT_TRUE(bytes.startsWith(QByteArray::fromHex("504B0304")));
    EXPECT_EQ(h.find<QGroupBox>(QStringLiteral("_QuickLook_View_Box"))->title(), QStringLiteral("ZIP00001.ZIP"));
    EXPECT_EQ(h.finalScreens(), 1);
}

TEST_F(RawFileSearch, AMediumLostBeforeTheSearchGoesBackToTheCheckList)
{
    ASSERT_TRUE(QFile::remove(h.scratch.filePath(QStringLiteral("stick.img"))));
    h.click(QStringLiteral("Next_btn"));
    ASSERT_TRUE(h.waitForSearchEnd());
    ASSERT_EQ(h.alerts.shown.size(), 1u);
    EXPECT_EQ(h.alerts.shown[0].message, QStringLiteral("\nError in storage media reading."));
    EXPECT_EQ(h.controller().screen_counter(), 2);
    EXPECT_TRUE(h.find<QWidget>(QStringLiteral("idCheckTableView"))->isVisibleTo(&h.controller()));
    EXPECT_FALSE(h.find<QWidget>(QStringLiteral("imageBrowser_2"))->isVisibleTo(&h.controller()));
    EXPECT_EQ(h.finalScreens(), 0);
}

TEST(ExitDuringASearch, StopsTheThreadsRemovesPreviewFilesAndTerminates)
{
    WizardHarness h;
    h.writeList(QStringLiteral("ZephExt2.dll"), {{".jpg", "18874368", "FFD8FF", "1", "JPEG picture"}});
    const QString image = h.writeImage(QStringLiteral("card.img"), 100, {{10, twoColourJpeg(32, 32)}});
    h.start();
    ASSERT_TRUE(h.controller().addDiskImage(image).isEmpty());
    h.selectMedium(0);
    h.click(QStringLiteral("Next_btn"));
    h.media.holdAt(1, 50);
    h.click(QStringLiteral("Next_btn"));
    ASSERT_TRUE(h.media.waitUntilHeld());
    QFile preview(h.previewFolder + QStringLiteral("/dprv.JPG"));
    ASSERT_TRUE(preview.open(QIODevice::WriteOnly));
    preview.close();
    h.media.release();
    h.alerts.answers = {QStringLiteral("Yes")};
    h.click(QStringLiteral("Exit_Btn"));
    EXPECT_EQ(h.terminations, std::vector<bool>{false});
    EXPECT_FALSE(h.controller().searchRunning());
    EXPECT_EQ(h.finalScreens(), 0); // no end-of-search window while leaving
    EXPECT_FALSE(preview.exists());
}

} // namespace
} // namespace salvyn::testing
