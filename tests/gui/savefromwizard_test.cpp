// Getting found files back through the wizard, on disk images made here: the save buttons
// after a search, the folder chooser when none is chosen yet, the bytes of the medium in
// the saved files and the report, a selection, Cancel mid-way, and opening the folder.
#include "app/wizardtexts.h"
#include "results/recoveryreport.h"
#include "results/ui/foundfilelist.h"
#include "results/ui/savefoundfiles.h"
#include "results/ui/savefoundfilesdialog.h"
#include "wizardharness.h"

#include <QAbstractItemView>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace salvyn::testing {
namespace {

QByteArray pngOf(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkBlue);
    return encodeImage(image, "PNG");
}

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList reportLines(const QString& folder)
{
    return QString::fromUtf8(contentOf(folder + QLatin1Char('/') + QLatin1String(RecoveryReport::fileName)))
        .split(u'\n', Qt::SkipEmptyParts);
}

QString sha256Of(const QByteArray& bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

class SaveFromWizard : public ::testing::Test {
protected:
    void TearDown() override { h.media.release(); }

    bool shown(const QString& name) const { return h.find<QWidget>(name)->isVisibleTo(&h.controller()); }

    // Ends when the save (if one started) has ended and its closing alert is answered.
    bool saveEnds()
    {
        SaveFoundFiles& saver = *h.controller().saveFoundFiles();
        return WizardHarness::waitFor([&] { return !saver.isSaving(); });
    }

    void select(const QString& browserName, std::initializer_list<int> rows) const
    {
        auto* browser = h.find<QAbstractItemView>(browserName);
        browser->selectionModel()->clearSelection();
        for (int row : rows)
            browser->selectionModel()->select(browser->model()->index(row, 0), QItemSelectionModel::Select);
    }

    QString outFolder(const QString& name) const
    {
        const QString path = h.scratch.filePath(name);
        QDir().mkpath(path);
        return path;
    }

    WizardHarness h;
};

class PhotoSave : public SaveFromWizard {
protected:
    void SetUp() override
    {
        h.writeList(QStringLiteral("ZephExt2.dll"), {{".jpg", "18874368", "FFD8FF", "1", "JPEG picture"}});
        h.writeList(QStringLiteral("ZephExt2Adv.dll"), {{".png", "18874368", "89504E470D0A1A0A", "1", "PNG picture"}});
        image = h.writeImage(QStringLiteral("card.img"), 2200, {{10, photo1}, {2000, photo2}, {2100, png}});
        h.start();
        ASSERT_TRUE(h.controller().addDiskImage(image).isEmpty());
        h.selectMedium(0);
        h.click(QStringLiteral("Next_btn"));
        h.click(QStringLiteral("Next_btn"));
        ASSERT_TRUE(h.waitForSearchEnd());
        ASSERT_EQ(h.controller().images()->rowCount(), 3);
    }

    const QByteArray photo1 = twoColourJpeg(320, 240);
    const QByteArray photo2 = twoColourJpeg(60, 90);
    const QByteArray png = pngOf(150, 50);
    QString image;
};

TEST_F(PhotoSave, WithNoFolderChosenTheChooserComesFirstThenEveryPhotoIsSavedWhole)
{
    EXPECT_TRUE(shown(QStringLiteral("_save_found_files")));
    EXPECT_FALSE(shown(QStringLiteral("_save_found_files_Sig")));
    EXPECT_EQ(h.find<QPushButton>(QStringLiteral("_save_found_files"))->text(), QStringLiteral("Save Found Files\u2026"));
    h.events.clear();
    h.click(QStringLiteral("_save_found_files"));
    EXPECT_EQ(h.events, (QStringList{QStringLiteral("modal:BrowseInfo_Window"), QStringLiteral("chooser")}));
    EXPECT_FALSE(h.controller().saveFoundFiles()->isSaving());

    const QString folder = outFolder(QStringLiteral("recovered"));
    h.folderChooser.finish(1, folder);
    ASSERT_TRUE(saveEnds());
    EXPECT_EQ(h.find<QLineEdit>(QStringLiteral("_path"))->text(), folder);
    // Each photo as long as its own format says, byte for byte as on the card.
    EXPECT_EQ(contentOf(folder + QStringLiteral("/GND00001.JPG")), photo1);
    EXPECT_EQ(contentOf(folder + QStringLiteral("/GND00002.JPG")), photo2);
    EXPECT_EQ(contentOf(folder + QStringLiteral("/THD00001.PNG")), png);
    const QStringList lines = reportLines(folder);
    ASSERT_EQ(lines.size(), 4);
    const QString medium = QStringLiteral("\tformat\t") + image;
    const std::uint64_t end = h.controller().images()->imageAt(0).File_End_Sector;
    EXPECT_GT(end, 10u);
    EXPECT_EQ(lines[1], QStringLiteral("GND00001.JPG\tJPG\t10\t%1\t%2\t%3").arg(end).arg(photo1.size())
                            .arg(sha256Of(photo1)) + medium);
    EXPECT_TRUE(lines[3].startsWith(QStringLiteral("THD00001.PNG\tPNG\t2100\t"))) << lines[3].toStdString();
    EXPECT_TRUE(lines[3].endsWith(sha256Of(png) + medium)) << lines[3].toStdString();
    ASSERT_EQ(h.alerts.shown.size(), 1u);
    EXPECT_EQ(h.alerts.shown[0].message, QStringLiteral("\n3 files saved."));
}

TEST_F(PhotoSave, OnlyTheSelectedPhotosAreSavedAndASecondSaveNeverOverwrites)
{
    const QString folder = outFolder(QStringLiteral("out"));
    h.find<QLineEdit>(QStringLiteral("_path"))->setText(folder);
    select(QStringLiteral("imageBrowser"), {1});
    h.click(QStringLiteral("_save_found_files"));
    ASSERT_TRUE(saveEnds());
    EXPECT_EQ(QDir(folder).entryList(QDir::Files),
              (QStringList{QStringLiteral("GND00002.JPG"), QString::fromLatin1(RecoveryReport::fileName)}));

    select(QStringLiteral("imageBrowser"), {});
    h.click(QStringLiteral("_save_found_files"));
    ASSERT_TRUE(saveEnds());
    EXPECT_EQ(contentOf(folder + QStringLiteral("/GND00002.JPG")), photo2);
    EXPECT_EQ(contentOf(folder + QStringLiteral("/GND00002-2.JPG")), photo2);
    EXPECT_EQ(reportLines(folder).size(), 5); // one header, then every file of both saves
    EXPECT_EQ(h.alerts.shown.back().message, QStringLiteral("\n3 files saved."));
}

TEST_F(PhotoSave, CancelMidwayKeepsTheWholeFilesAndHoldsTheWizardMeanwhile)
{
    const QString folder = outFolder(QStringLiteral("out"));
    h.find<QLineEdit>(QStringLiteral("_path"))->setText(folder);
    h.media.holdAt(3, 2000); // the save is the third opening, after both passes
    h.click(QStringLiteral("_save_found_files"));
    ASSERT_TRUE(h.media.waitUntilHeld());
    SaveFoundFiles& saver = *h.controller().saveFoundFiles();
    ASSERT_TRUE(saver.isSaving());
    h.click(QStringLiteral("Back_btn"));
    h.click(QStringLiteral("_save_found_files"));
    EXPECT_EQ(h.controller().screen_counter(), 2);
    EXPECT_EQ(h.media.openings(), 3);

    saver.progressDialog()->cancelButton()->click();
    h.media.release();
    ASSERT_TRUE(saveEnds());
    EXPECT_EQ(QDir(folder).entryList(QDir::Files),
              (QStringList{QStringLiteral("GND00001.JPG"), QString::fromLatin1(RecoveryReport::fileName)}));
    EXPECT_EQ(contentOf(folder + QStringLiteral("/GND00001.JPG")), photo1);
    EXPECT_EQ(reportLines(folder).size(), 2);
    EXPECT_EQ(h.alerts.shown.back().message, QStringLiteral("\nSaving was cancelled."));
}

TEST_F(PhotoSave, AChooserLeftWithCancelSavesNothingAndOpenFolderNeedsAFolder)
{
    h.click(QStringLiteral("_open_folder"));
    ASSERT_EQ(h.alerts.shown.size(), 1u);
    EXPECT_EQ(h.alerts.shown[0].message, QStringLiteral("\nNo destination folder has been chosen yet."));
    EXPECT_EQ(h.alerts.shown[0].informativeText,
              QStringLiteral("\u201CSave Found Files\u2026\u201D asks for one, and the found files are saved there."));

    h.click(QStringLiteral("_save_found_files"));
    h.folderChooser.finish(0, outFolder(QStringLiteral("never")));
    EXPECT_FALSE(h.controller().saveFoundFiles()->isSaving());
    EXPECT_TRUE(QDir(h.scratch.filePath(QStringLiteral("never"))).isEmpty());
    EXPECT_EQ(h.alerts.shown.size(), 1u);

    const QString gone = h.scratch.filePath(QStringLiteral("gone"));
    h.find<QLineEdit>(QStringLiteral("_path"))->setText(gone);
    h.click(QStringLiteral("_open_folder"));
    EXPECT_EQ(h.alerts.shown.back().message, QStringLiteral("\nThe destination folder does not exist."));
    const QString folder = outFolder(QStringLiteral("out"));
    h.find<QLineEdit>(QStringLiteral("_path"))->setText(folder);
    h.click(QStringLiteral("_open_folder"));
    EXPECT_EQ(h.documents.opened, QStringList{folder});
}

TEST(RawFileSave, AFileWithoutAFormatEndIsSavedUpToTheNextFileFoundAndBackHidesTheButton)
{
    WizardHarness h;
    h.writeList(QStringLiteral("ZephRaw.dll"), {{".zip", "18874368", "504B0304", "1", "ZIP archive"},
                                                {".pdf", "18874368", "255044462D", "1", "PDF document"}});
    QByteArray zipStart = QByteArray::fromHex("504B0304") + QByteArray("no central directory follows");
    const QString image = h.writeImage(QStringLiteral("stick.img"), 100,
                                       {{5, zipStart}, {6, QByteArray(512, 'z')}, {20, QByteArray("%PDF-1.4")}});
    h.start();
    ASSERT_TRUE(h.controller().addDiskImage(image).isEmpty());
    h.click(QStringLiteral("_rec_mode_RawFile"));
    h.selectMedium(0);
    for (int step = 0; step < 3; ++step)
        h.click(QStringLiteral("Next_btn"));
    ASSERT_TRUE(h.waitForSearchEnd());
    EXPECT_TRUE(h.find<QWidget>(QStringLiteral("_save_found_files_Sig"))->isVisibleTo(&h.controller()));

    const QString folder = h.scratch.filePath(QStringLiteral("docs"));
    QDir().mkpath(folder);
    h.find<QLineEdit>(QStringLiteral("_path_Sig"))->setText(folder);
    auto* browser = h.find<QAbstractItemView>(QStringLiteral("imageBrowser_2"));
    browser->selectionModel()->select(browser->model()->index(0, 0), QItemSelectionModel::ClearAndSelect);
    h.click(QStringLiteral("_save_found_files_Sig"));
    ASSERT_TRUE(WizardHarness::waitFor([&] { return !h.controller().saveFoundFiles()->isSaving(); }));
    const QByteArray card = contentOf(image);
    EXPECT_EQ(contentOf(folder + QStringLiteral("/ZIP00001.ZIP")), card.mid(5 * 512, 15 * 512));
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/PDF00001.PDF")));
    EXPECT_EQ(h.alerts.shown.back().message, QStringLiteral("\n1 file saved."));

    h.click(QStringLiteral("Back_btn"));
    EXPECT_FALSE(h.find<QWidget>(QStringLiteral("_save_found_files_Sig"))->isVisibleTo(&h.controller()));
}

} // namespace
} // namespace salvyn::testing
