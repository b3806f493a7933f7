// One whole search per mode through the real widgets, on disk images made here with files
// at known sectors: what each screen shows, where the keyboard focus goes on a refusal,
// the modal windows, Stop, the preview, saving, and leaving.
#include "app/wizardtexts.h"
#include "results/recoveryreport.h"
#include "results/ui/foundfilelist.h"
#include "results/ui/resultstablemodel.h"
#include "results/ui/savefoundfiles.h"
#include "signatures/qt/checklistmodel.h"
#include "wizardharness.h"

#include <QAbstractItemView>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
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

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class WizardFlow : public ::testing::Test {
protected:
    void TearDown() override { h.gate.release(); }

    void startOn(const QString& image, const QString& modeRadio)
    {
        h.start();
        ASSERT_TRUE(h.controller().addDiskImage(image).isEmpty());
        h.click(modeRadio);
        h.selectMedium(0);
        h.click(QStringLiteral("Next_btn"));
        ASSERT_EQ(h.controller().screen_counter(), 1);
    }
    bool shown(const QString& name) const { return h.find<QWidget>(name)->isVisibleTo(&h.controller()); }
    QString help() const { return h.find<QLabel>(QStringLiteral("_help_info"))->text(); }
    bool enabled(const QString& name) const { return h.find<QWidget>(name)->isEnabled(); }
    QStringList names() const
    {
        const FoundFileList& images = *h.controller().images();
        QStringList names;
        for (int row = 0; row < images.rowCount(); ++row)
            names << images.data(images.index(row), Qt::DisplayRole).toString();
        return names;
    }
    QStringList resultRows() const
    {
        const ResultsTableModel& table = *h.controller().nsSIGFileInfoDataObject();
        QStringList rows;
        for (int row = 0; row < table.rowCount(); ++row)
            rows << table.data(table.index(row, 0)).toString() + u'=' + table.data(table.index(row, 1)).toString();
        return rows;
    }
    void setChecked(const QString& extension, bool checked) const
    {
        CheckListModel& list = *h.controller().nsCheckedListDataObject();
        for (int row = 0; row < list.rowCount(); ++row)
            if (list.rows()[row].Extension == extension)
                list.setData(list.index(row, CheckListModel::StateColumn), checked ? Qt::Checked : Qt::Unchecked,
                             Qt::CheckStateRole);
    }
    void select(const QString& browserName, int row) const
    {
        auto* browser = h.find<QAbstractItemView>(browserName);
        browser->selectionModel()->select(browser->model()->index(row, 0), QItemSelectionModel::ClearAndSelect);
    }
    bool saveEnds() const
    {
        return WizardHarness::waitFor([this] { return !h.controller().saveFoundFiles()->isSaving(); });
    }

    WizardHarness h;
};

TEST_F(WizardFlow, PhotoSearchBothPassesToTheResultsThenSaveWithTheChooserFirstAndBack)
{
    const QByteArray photo = twoColourJpeg(320, 240);
    const QByteArray png = pngOf(150, 50);
    h.writeList(QStringLiteral("ZephExt2.dll"), {{".jpg", "18874368", "FFD8FF", "1", "JPEG picture"}});
    h.writeList(QStringLiteral("ZephExt2Adv.dll"), {{".png", "18874368", "89504E470D0A1A0A", "1", "PNG picture"}});
    const QString image = h.writeImage(QStringLiteral("card.img"), 120, {{10, photo}, {80, png}});
    h.start();
    EXPECT_TRUE(shown(QStringLiteral("idTableView")));
    EXPECT_FALSE(enabled(QStringLiteral("Back_btn")));
    h.click(QStringLiteral("Help_btn"));
    h.click(QStringLiteral("About_btn"));
    EXPECT_EQ(h.events, (QStringList{QStringLiteral("modal:HelpWindow"), QStringLiteral("modal:AboutWindow")}));
    h.events.clear();
    ASSERT_TRUE(h.controller().addDiskImage(image).isEmpty());
    h.selectMedium(0);
    h.click(QStringLiteral("Next_btn"));
    EXPECT_EQ(h.find<QLabel>(QStringLiteral("_disk_val"))->text(), image);
    EXPECT_TRUE(shown(QStringLiteral("_disk_val")));
    EXPECT_FALSE(shown(QStringLiteral("idTableView")));

    // A refused range leaves the focus in the field at fault.
    h.controller().activateWindow();
    h.click(QStringLiteral("_sector_range_rd"));
    auto* end = h.find<QLineEdit>(QStringLiteral("_End_slider_val"));
    end->setText(QStringLiteral("0"));
    h.click(QStringLiteral("Next_btn"));
    ASSERT_EQ(h.alerts.shown.size(), 1u);
    EXPECT_EQ(h.controller().focusWidget(), end);
    h.click(QStringLiteral("_entire_disk_rd"));

    h.click(QStringLiteral("Next_btn"));
    EXPECT_FALSE(enabled(QStringLiteral("Next_btn")));
    ASSERT_TRUE(h.waitForSearchEnd());
    EXPECT_EQ(names(), (QStringList{QStringLiteral("GND00001.JPG"), QStringLiteral("THD00001.PNG")}));
    EXPECT_EQ(h.events, QStringList{QStringLiteral("modal:SaveFile_Info_Window")});
    EXPECT_EQ(help(), texts::kHelpSearchEnded);
    EXPECT_TRUE(enabled(QStringLiteral("Back_btn")));
    EXPECT_FALSE(enabled(QStringLiteral("Next_btn")));
    EXPECT_FALSE(shown(QStringLiteral("_Progress_Horz")));
    for (const char* name : {"imageBrowser", "_zoom_slider", "_open_folder", "_save_found_files"})
        EXPECT_TRUE(shown(QString::fromLatin1(name))) << name;
    EXPECT_FALSE(shown(QStringLiteral("_save_found_files_Sig")));

    h.events.clear();
    h.click(QStringLiteral("_save_found_files"));
    EXPECT_EQ(h.events, (QStringList{QStringLiteral("modal:BrowseInfo_Window"), QStringLiteral("chooser")}));
    const QString folder = h.scratch.filePath(QStringLiteral("recovered"));
    QDir().mkpath(folder);
    h.folderChooser.finish(1, folder);
    ASSERT_TRUE(saveEnds());
    EXPECT_EQ(contentOf(folder + QStringLiteral("/GND00001.JPG")), photo);
    EXPECT_EQ(contentOf(folder + QStringLiteral("/THD00001.PNG")), png);
    EXPECT_TRUE(QFile::exists(folder + QLatin1Char('/') + QLatin1String(RecoveryReport::fileName)));

    h.click(QStringLiteral("Back_btn"));
    EXPECT_EQ(h.controller().screen_counter(), 1);
    EXPECT_EQ(h.controller().images()->rowCount(), 0);
    for (const char* name : {"imageBrowser", "_zoom_slider", "_open_folder", "_save_found_files"})
        EXPECT_FALSE(shown(QString::fromLatin1(name))) << name;
    EXPECT_TRUE(shown(QStringLiteral("_disk_val")));
}

TEST_F(WizardFlow, VideoSearchOfTheTickedTypeOnlyPreviewsInTheMovieViewAndBackKeepsTheChecks)
{
    h.writeList(QStringLiteral("ZephVideo.dll"), {{".avi", "18874368", "52494646", "1", "AVI movie"},
                                                  {".mov", "18874368", "000000146674797071742020", "1", "QuickTime"}});
    h.writeList(QStringLiteral("ZephVideoAdv.dll"), {{".mts", "18874368", "470000", "1", "MPEG transport"}});
    startOn(h.writeImage(QStringLiteral("cam.img"), 100,
                         {{5, header("52494646")}, {30, header("000000146674797071742020")}}),
            QStringLiteral("_rec_mode_Video"));
    EXPECT_TRUE(shown(QStringLiteral("_disk_val_Sig")));
    EXPECT_FALSE(shown(QStringLiteral("_disk_val")));
    h.click(QStringLiteral("Next_btn"));
    EXPECT_TRUE(shown(QStringLiteral("idCheckTableView")));
    EXPECT_EQ(h.controller().nsCheckedListDataObject()->rowCount(), 3);

    h.controller().activateWindow();
    h.click(QStringLiteral("_select_unselect_Chk")); // unticks every type
    h.click(QStringLiteral("Next_btn"));
    ASSERT_EQ(h.alerts.shown.size(), 1u);
    EXPECT_EQ(h.controller().focusWidget(), h.find<QTableView>(QStringLiteral("idCheckTableView")));
    EXPECT_EQ(h.controller().screen_counter(), 2);

    setChecked(QStringLiteral("AVI"), true);
    h.click(QStringLiteral("Next_btn"));
    ASSERT_TRUE(h.waitForSearchEnd());
    EXPECT_EQ(names(), QStringList{QStringLiteral("AVI00001.AVI")});
    EXPECT_EQ(resultRows(), QStringList{QStringLiteral("AVI=1")});
    EXPECT_EQ(h.events, QStringList{QStringLiteral("modal:SaveFile_Info_For_RAW_Window")});
    for (const char* name : {"imageBrowser_2", "idSigTableView", "_open_folder_Sig", "_save_found_files_Sig"})
        EXPECT_TRUE(shown(QString::fromLatin1(name))) << name;
    EXPECT_FALSE(shown(QStringLiteral("_zoom_slider")));

    h.movies.playing = true; // a movie still playing stops before its file is replaced
    select(QStringLiteral("imageBrowser_2"), 0);
    EXPECT_EQ(h.movies.stops, 1);
    EXPECT_EQ(h.movies.opened, QStringList{h.previewFolder + QStringLiteral("/dprv.AVI")});
    EXPECT_EQ(h.find<QGroupBox>(QStringLiteral("_QuickLook_View_Box"))->title(), QStringLiteral("AVI00001.AVI"));

    h.click(QStringLiteral("Back_btn"));
    EXPECT_EQ(h.controller().screen_counter(), 2);
    EXPECT_EQ(help(), texts::kHelpCheckList);
    EXPECT_FALSE(shown(QStringLiteral("imageBrowser_2")));
    const auto& rows = h.controller().nsCheckedListDataObject()->rows();
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ((QList<bool>{rows[0].State, rows[1].State, rows[2].State}), (QList<bool>{true, false, false}));
}

TEST_F(WizardFlow, RawFileSearchCountsBothPassesCopiesThePreviewAndSavesUpToTheNextFile)
{
    h.writeList(QStringLiteral("ZephRaw.dll"), {{".zip", "18874368", "504B0304", "1", "ZIP archive"},
                                                {".pdf", "18874368", "255044462D", "1", "PDF document"}});
    h.writeList(QStringLiteral("ZephRawAdv.dll"), {{".gz", "18874368", "1F8B08", "1", "gzip stream"}});
    const QString image = h.writeImage(QStringLiteral("stick.img"), 100,
                                       {{5, header("504B0304")}, {20, header("255044462D")},
                                        {50, header("504B0304")}, {70, header("1F8B08")}});
    startOn(image, QStringLiteral("_rec_mode_RawFile"));
    h.click(QStringLiteral("Next_btn"));
    h.click(QStringLiteral("Next_btn"));
    ASSERT_TRUE(h.waitForSearchEnd());
    EXPECT_EQ(resultRows(), (QStringList{QStringLiteral("GZ=1"), QStringLiteral("PDF=1"), QStringLiteral("ZIP=2")}));
    EXPECT_EQ(names(), (QStringList{QStringLiteral("ZIP00001.ZIP"), QStringLiteral("PDF00001.PDF"),
                                    QStringLiteral("ZIP00002.ZIP"), QStringLiteral("GZ00001.GZ")}));

    select(QStringLiteral("imageBrowser_2"), 0);
    EXPECT_TRUE(h.movies.opened.isEmpty()); // the raw-file mode never offers the movie view
    const QByteArray card = contentOf(image);
    EXPECT_EQ(contentOf(h.controller().preview_file_path()), card.mid(5 * 512, 16 * 512));

    const QString folder = h.scratch.filePath(QStringLiteral("docs"));
    QDir().mkpath(folder);
    h.find<QLineEdit>(QStringLiteral("_path_Sig"))->setText(folder);
    h.click(QStringLiteral("_save_found_files_Sig"));
    ASSERT_TRUE(saveEnds());
    EXPECT_EQ(contentOf(folder + QStringLiteral("/ZIP00001.ZIP")), card.mid(5 * 512, 15 * 512));
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/PDF00001.PDF")));
    EXPECT_EQ(h.alerts.shown.back().message, QStringLiteral("\n1 file saved."));
    h.click(QStringLiteral("Back_btn"));
    EXPECT_FALSE(shown(QStringLiteral("_save_found_files_Sig")));
}

TEST_F(WizardFlow, AudioSearchStoppedMidwayShowsItsEndOnceAndBackLeadsToPhotoModeOnTheMediaScreen)
{
    h.writeList(QStringLiteral("ZephAudio.dll"), {{".mp3", "18874368", "494433", "1", "MP3 audio"}});
    startOn(h.writeImage(QStringLiteral("player.img"), 100, {{10, header("494433")}, {60, header("494433")}}),
            QStringLiteral("_rec_mode_Audio"));
    EXPECT_EQ(h.find<QLabel>(QStringLiteral("_Search_Type"))->text(), QStringLiteral("Search Type : Audio File"));
    h.click(QStringLiteral("Next_btn"));
    h.gate.holdAt(40);
    h.click(QStringLiteral("Next_btn"));
    ASSERT_TRUE(h.gate.waitUntilHeld());
    EXPECT_FALSE(enabled(QStringLiteral("Back_btn")));
    EXPECT_TRUE(shown(QStringLiteral("_stop_scan")));
    EXPECT_EQ(help(), texts::kHelpSearchRunning);
    h.click(QStringLiteral("_stop_scan"));
    h.gate.release();
    ASSERT_TRUE(h.waitForSearchEnd());
    EXPECT_EQ(names(), QStringList{QStringLiteral("MP300001.MP3")});
    EXPECT_EQ(h.finalScreens(), 1);
    EXPECT_FALSE(shown(QStringLiteral("_stop_scan")));

    for (int step = 0; step < 3; ++step)
        h.click(QStringLiteral("Back_btn"));
    EXPECT_EQ(h.controller().screen_counter(), 0);
    EXPECT_TRUE(h.find<QRadioButton>(QStringLiteral("_rec_mode_Photo"))->isChecked());
    EXPECT_FALSE(h.find<QRadioButton>(QStringLiteral("_rec_mode_Audio"))->isChecked());
    EXPECT_FALSE(shown(QStringLiteral("_Search_Type")));
    EXPECT_FALSE(shown(QStringLiteral("_disk_val_Sig")));
    EXPECT_TRUE(shown(QStringLiteral("idTableView")));
    EXPECT_EQ(h.find<QLabel>(QStringLiteral("_disk_val_Sig"))->text(), QStringLiteral("<None>"));
}

TEST_F(WizardFlow, StartUpAndExitDuringASearchRemoveThePreviewFilesExitAnsweredNoKeepsTheWindow)
{
    h.writeList(QStringLiteral("ZephExt2.dll"), {{".jpg", "18874368", "FFD8FF", "1", "JPEG picture"}});
    QFile leftOver(h.previewFolder + QStringLiteral("/dprv.MOV")); // by a run that crashed
    ASSERT_TRUE(leftOver.open(QIODevice::WriteOnly));
    leftOver.close();
    startOn(h.writeImage(QStringLiteral("card.img"), 100, {{10, twoColourJpeg(32, 32)}}),
            QStringLiteral("_rec_mode_Photo"));
    EXPECT_FALSE(leftOver.exists());
    h.alerts.answers = {QStringLiteral("No"), QStringLiteral("No"), QStringLiteral("Yes")};
    h.click(QStringLiteral("Exit_Btn"));
    EXPECT_FALSE(h.controller().close());
    EXPECT_TRUE(h.controller().isVisible());
    EXPECT_TRUE(h.terminations.empty());

    h.gate.holdAt(50);
    h.click(QStringLiteral("Next_btn"));
    ASSERT_TRUE(h.gate.waitUntilHeld());
    QFile preview(h.previewFolder + QStringLiteral("/dprv.JPG"));
    ASSERT_TRUE(preview.open(QIODevice::WriteOnly));
    preview.close();
    h.gate.release();
    h.click(QStringLiteral("Exit_Btn"));
    EXPECT_EQ(h.terminations, std::vector<bool>{false});
    EXPECT_FALSE(h.controller().searchRunning());
    EXPECT_EQ(h.finalScreens(), 0); // no end-of-search window while leaving
    EXPECT_FALSE(preview.exists());
}

} // namespace
} // namespace salvyn::testing
