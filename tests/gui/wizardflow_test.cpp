// One whole search per mode through the real widgets, on disk images made here with files
// at known sectors: what each screen shows, where the keyboard focus goes on a refusal,
// the modal windows, Stop, the preview, saving, and leaving. No flow may change its image.
#include "app/wizardtexts.h"
#include "results/recoveryreport.h"
#include "results/ui/foundfilelist.h"
#include "results/ui/resultstablemodel.h"
#include "results/ui/savefoundfiles.h"
#include "results/ui/savefoundfilesdialog.h"
#include "signatures/qt/checklistmodel.h"
#include "uiblockmeter.h"
#include "wizardharness.h"

#include <QtWidgets>
#include <gtest/gtest.h>

#include <thread>

namespace salvyn::testing {
namespace {

using namespace Qt::StringLiterals;

QByteArray header(const char* hex) { return QByteArray::fromHex(hex) + QByteArray("recovered file body"); }

QByteArray contentOf(const QString& path) { QFile file(path); return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray(); }

class WizardFlow : public ::testing::Test {
protected:
    // A recovery tool never writes to the medium: the image's hash is the same at the end.
    void TearDown() override { h.gate.release(); EXPECT_EQ(hashOf(image), imageHash); }
    static QByteArray hashOf(const QString& path) { return QCryptographicHash::hash(contentOf(path), QCryptographicHash::Sha256); }
    void makeImage(const QString& name, std::uint64_t sectors, const std::vector<Placement>& placements)
    {
        image = h.writeImage(name, sectors, placements), imageHash = hashOf(image);
    }
    void startOn(const QString& modeRadio)
    {
        h.start();
        ASSERT_FALSE(h.controller().addDiskImage(image));
        h.click(modeRadio);
        h.selectMedium(0);
        h.click(u"Next_btn"_s);
        ASSERT_EQ(h.controller().screen_counter(), 1);
    }
    void expectShown(std::initializer_list<const char*> visible, std::initializer_list<const char*> hidden = {}) const
    {
        for (const auto& [names, expected] : {std::pair{visible, true}, std::pair{hidden, false}})
            for (const char* name : names)
                EXPECT_EQ(h.find<QWidget>(QString::fromLatin1(name))->isVisibleTo(&h.controller()), expected) << name;
    }
    QString help() const { return h.find<QLabel>(u"_help_info"_s)->text(); }
    bool enabled(const QString& name) const { return h.find<QWidget>(name)->isEnabled(); }
    QString names() const { return rows(*h.controller().images(), false); }
    QString resultRows() const { return rows(*h.controller().nsSIGFileInfoDataObject(), true); }
    static QString rows(const QAbstractItemModel& model, bool withCount)
    {
        QStringList rows;
        for (int row = 0; row < model.rowCount(); ++row)
            rows << model.index(row, 0).data().toString() + (withCount ? u'=' + model.index(row, 1).data().toString() : QString());
        return rows.join(u' ');
    }
    // Selects the first found file and waits while its preview is copied.
    void selectFirstFound() const
    {
        auto* browser = h.find<QAbstractItemView>(u"imageBrowser_2"_s);
        browser->selectionModel()->select(browser->model()->index(0, 0), QItemSelectionModel::ClearAndSelect);
        ASSERT_TRUE(WizardHarness::waitFor([this] { return !h.find<QDialog>(u"ClearPreview_Window"_s)->isVisible(); }));
    }
    bool saveEnds() const { return WizardHarness::waitFor([this] { return !h.controller().saveFoundFiles()->isSaving(); }); }
    QString emptyFolder(const QString& name) const { return QDir().mkpath(h.scratch.filePath(name)), h.scratch.filePath(name); }

    WizardHarness h;
    QString image;
    QByteArray imageHash;
};

TEST_F(WizardFlow, PhotoSearchBothPassesToTheResultsThenSaveWithTheChooserFirstAndARefusedSaveWritesNothing)
{
    const QByteArray photo = twoColourJpeg(320, 240), png = encodeImage(twoColourImage(150, 50), "PNG");
    h.writeList(u"ZephExt2.dll"_s, {{".jpg", "18874368", "FFD8FF", "1", "JPEG picture"}});
    h.writeList(u"ZephExt2Adv.dll"_s, {{".png", "18874368", "89504E470D0A1A0A", "1", "PNG picture"}});
    makeImage(u"card.img"_s, 120, {{10, photo}, {80, png}});
    h.start();
    expectShown({"idTableView"});
    EXPECT_FALSE(enabled(u"Back_btn"_s));
    h.click(u"Help_btn"_s), h.click(u"About_btn"_s);
    EXPECT_EQ(h.events, (QStringList{u"modal:HelpWindow"_s, u"modal:AboutWindow"_s}));
    h.events.clear();
    ASSERT_FALSE(h.controller().addDiskImage(image));
    h.selectMedium(0);
    h.click(u"Next_btn"_s);
    EXPECT_EQ(h.find<QLabel>(u"_disk_val"_s)->text(), image);
    expectShown({"_disk_val"}, {"idTableView"});

    // A refused range leaves the focus in the field at fault.
    h.controller().activateWindow();
    h.click(u"_sector_range_rd"_s);
    auto* end = h.find<QLineEdit>(u"_End_slider_val"_s);
    end->setText(u"0"_s);
    h.click(u"Next_btn"_s);
    ASSERT_EQ(h.alerts.shown.size(), 1u);
    EXPECT_EQ(h.controller().focusWidget(), end);
    h.click(u"_entire_disk_rd"_s);

    h.click(u"Next_btn"_s);
    EXPECT_FALSE(enabled(u"Next_btn"_s));
    ASSERT_TRUE(h.waitForSearchEnd());
    EXPECT_EQ(names(), u"GND00001.JPG THD00001.PNG"_s);
    EXPECT_EQ(h.events, QStringList{u"modal:SaveFile_Info_Window"_s});
    EXPECT_EQ(help(), texts::kHelpSearchEnded.trimmed());
    EXPECT_TRUE(enabled(u"Back_btn"_s));
    EXPECT_FALSE(enabled(u"Next_btn"_s));
    expectShown({"imageBrowser", "_zoom_slider", "_open_folder", "_save_found_files"}, {"_Progress_Horz", "_save_found_files_Sig"});

    h.events.clear(), h.click(u"_save_found_files"_s);
    EXPECT_EQ(h.events, (QStringList{u"modal:BrowseInfo_Window"_s, u"chooser:"_s}));
    const QString folder = emptyFolder(u"recovered"_s);
    h.folderChooser.finish(1, folder);
    ASSERT_TRUE(saveEnds());
    EXPECT_EQ(contentOf(folder + u"/GND00001.JPG"_s), photo);
    EXPECT_EQ(contentOf(folder + u"/THD00001.PNG"_s), png);
    EXPECT_TRUE(QFile::exists(folder + u'/' + QLatin1String(RecoveryReport::fileName)));

    // With the medium out of reach the destination cannot be checked: refused, nothing written.
    const QString refused = emptyFolder(u"refused"_s);
    h.find<QLineEdit>(u"_path"_s)->setText(refused);
    ASSERT_TRUE(QFile::rename(image, image + u".away"_s));
    const std::size_t alertsBefore = h.alerts.shown.size();
    h.click(u"_save_found_files"_s);
    ASSERT_TRUE(QFile::rename(image + u".away"_s, image));
    EXPECT_FALSE(h.controller().saveFoundFiles()->isSaving() || h.alerts.shown.size() != alertsBefore + 1);
    EXPECT_TRUE(QDir(refused).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));

    h.click(u"Back_btn"_s);
    EXPECT_EQ(h.controller().screen_counter(), 1);
    EXPECT_EQ(h.controller().images()->rowCount(), 0);
    expectShown({"_disk_val"}, {"imageBrowser", "_zoom_slider", "_open_folder", "_save_found_files"});
}

TEST_F(WizardFlow, VideoSearchOfTheTickedTypeOnlyPreviewsInTheMovieViewAndBackKeepsTheChecks)
{
    h.writeList(u"ZephVideo.dll"_s, {{".avi", "18874368", "52494646", "1", "AVI movie"},
                                     {".mov", "18874368", "000000146674797071742020", "1", "QuickTime"}});
    h.writeList(u"ZephVideoAdv.dll"_s, {{".mts", "18874368", "470000", "1", "MPEG transport"}});
    makeImage(u"cam.img"_s, 100, {{5, header("52494646")}, {30, header("000000146674797071742020")}});
    startOn(u"_rec_mode_Video"_s);
    expectShown({"_disk_val_Sig"}, {"_disk_val"});
    h.click(u"Next_btn"_s);
    expectShown({"idCheckTableView"});
    EXPECT_EQ(h.controller().nsCheckedListDataObject()->rowCount(), 3);

    h.controller().activateWindow();
    h.click(u"_select_unselect_Chk"_s); // unticks every type
    h.click(u"Next_btn"_s);
    ASSERT_EQ(h.alerts.shown.size(), 1u);
    EXPECT_EQ(h.controller().focusWidget(), h.find<QTableView>(u"idCheckTableView"_s));
    EXPECT_EQ(h.controller().screen_counter(), 2);

    CheckListModel& list = *h.controller().nsCheckedListDataObject();
    for (int row = 0; row < list.rowCount(); ++row)
        if (list.rows()[row].Extension == u"AVI"_s)
            list.setData(list.index(row, CheckListModel::StateColumn), Qt::Checked, Qt::CheckStateRole);
    h.click(u"Next_btn"_s);
    ASSERT_TRUE(h.waitForSearchEnd());
    EXPECT_EQ(names() + u' ' + resultRows(), u"AVI00001.AVI AVI=1"_s);
    EXPECT_EQ(h.events, QStringList{u"modal:SaveFile_Info_For_RAW_Window"_s});
    expectShown({"imageBrowser_2", "idSigTableView", "_open_folder_Sig", "_save_found_files_Sig"}, {"_zoom_slider"});

    h.movies.playing = true; // a movie still playing stops before its file is replaced
    // The copy from a slow medium (held for a second at a sector) leaves the window going.
    h.gate.holdAt(8);
    std::thread slowMedium([this] { h.gate.waitUntilHeldElsewhere(), std::this_thread::sleep_for(std::chrono::seconds(1)), h.gate.release(); });
    const auto* panes = qobject_cast<QSplitter*>(h.find<QWidget>(u"imageBrowser_2"_s)->parentWidget());
    const QList<int> paneWidths = panes->sizes();
    const UiBlockMeter meter;
    selectFirstFound();
    slowMedium.join();
    EXPECT_EQ(panes->sizes(), paneWidths) << "a selected file shifts no pane";
    EXPECT_GE(h.find<QWidget>(u"_QuickLook_View_Box"_s)->width(), 260);
    EXPECT_LT(meter.longestGapMs(), UiBlockMeter::kLongestStallMs) << "the UI thread stood still that long";
    EXPECT_EQ(h.movies.stops, 1);
    EXPECT_EQ(h.movies.opened, QStringList{h.previewFolder + u"/dprv.AVI"_s});
    EXPECT_EQ(h.find<QGroupBox>(u"_QuickLook_View_Box"_s)->title(), u"AVI00001.AVI"_s);

    h.click(u"Back_btn"_s);
    EXPECT_EQ(h.controller().screen_counter(), 2);
    EXPECT_EQ(help(), texts::kHelpCheckList.trimmed());
    expectShown({}, {"imageBrowser_2"});
    ASSERT_EQ(list.rows().size(), 3);
    EXPECT_EQ((QList<bool>{list.rows()[0].State, list.rows()[1].State, list.rows()[2].State}), (QList<bool>{true, false, false}));
}

TEST_F(WizardFlow, RawFileSearchCopiesThePreviewSavesUpToTheNextFileAndACancelledSaveLeavesNoPart)
{
    h.writeList(u"ZephRaw.dll"_s, {{".zip", "18874368", "504B0304", "1", "ZIP archive"},
                                   {".xml", "18874368", "3C3F786D6C", "1", "XML document"}});
    h.writeList(u"ZephRawAdv.dll"_s, {{".gz", "18874368", "1F8B08", "1", "gzip stream"}});
    makeImage(u"stick.img"_s, 100, {{5, header("504B0304")}, {20, header("3C3F786D6C")},
                                    {50, header("504B0304")}, {70, header("1F8B08")}});
    startOn(u"_rec_mode_RawFile"_s);
    h.click(u"Next_btn"_s), h.click(u"Next_btn"_s);
    ASSERT_TRUE(h.waitForSearchEnd());
    // The XML (a type whose size no format states) is a real start; the ZIP header is bare.
    EXPECT_EQ(resultRows(), u"GZ=1 XML=1 ZIP=2"_s);
    EXPECT_EQ(names(), u"ZIP00001.ZIP XML00001.XML ZIP00002.ZIP GZ00001.GZ"_s);

    selectFirstFound();
    EXPECT_TRUE(h.movies.opened.isEmpty()); // the raw-file mode never offers the movie view
    const QByteArray card = contentOf(image);
    EXPECT_EQ(contentOf(h.controller().preview_file_path()), card.mid(5 * 512, 16 * 512));

    const QString folder = emptyFolder(u"docs"_s);
    h.find<QLineEdit>(u"_path_Sig"_s)->setText(folder);
    h.click(u"_save_found_files_Sig"_s);
    ASSERT_TRUE(saveEnds());
    EXPECT_EQ(contentOf(folder + u"/ZIP00001.ZIP"_s), card.mid(5 * 512, 15 * 512));
    EXPECT_FALSE(QFile::exists(folder + u"/XML00001.XML"_s));
    EXPECT_EQ(h.alerts.shown.back().message, u"\n1 file saved in \u201C"_s + folder + u"\u201D."_s);

    // Cancel pressed while the file is being copied: its part is not left behind.
    const QString cancelled = emptyFolder(u"cancelled"_s);
    h.find<QLineEdit>(u"_path_Sig"_s)->setText(cancelled);
    h.gate.holdAt(12), h.click(u"_save_found_files_Sig"_s);
    ASSERT_TRUE(h.gate.waitUntilHeld());
    SaveFoundFilesDialog* progress = h.controller().saveFoundFiles()->progressDialog();
    ASSERT_TRUE(progress && progress->isVisible());
    progress->cancelButton()->click();
    h.gate.release();
    ASSERT_TRUE(saveEnds());
    QStringList left = QDir(cancelled).entryList(QDir::Files | QDir::Hidden);
    left.removeAll(QLatin1String(RecoveryReport::fileName));
    EXPECT_EQ(left, QStringList());

    h.click(u"Back_btn"_s);
    expectShown({}, {"_save_found_files_Sig"});
}

TEST_F(WizardFlow, AudioSearchStoppedMidwayShowsItsEndOnceAndBackLeadsToPhotoModeOnTheMediaScreen)
{
    h.writeList(u"ZephAudio.dll"_s, {{".mp3", "18874368", "494433", "1", "MP3 audio"}});
    makeImage(u"player.img"_s, 100, {{10, header("494433")}, {60, header("494433")}});
    startOn(u"_rec_mode_Audio"_s);
    EXPECT_EQ(h.find<QLabel>(u"_Search_Type"_s)->text(), u"Search Type : Audio File"_s);
    h.click(u"Next_btn"_s);
    h.gate.holdAt(40), h.click(u"Next_btn"_s);
    ASSERT_TRUE(h.gate.waitUntilHeld());
    EXPECT_FALSE(enabled(u"Back_btn"_s));
    expectShown({"_stop_scan"});
    EXPECT_EQ(help(), texts::kHelpSearchRunning.trimmed());
    h.click(u"_stop_scan"_s), h.gate.release();
    ASSERT_TRUE(h.waitForSearchEnd());
    EXPECT_EQ(names(), u"MP300001.MP3"_s);
    EXPECT_EQ(h.finalScreens(), 1);
    expectShown({}, {"_stop_scan"});

    for (int step = 0; step < 3; ++step)
        h.click(u"Back_btn"_s);
    EXPECT_EQ(h.controller().screen_counter(), 0);
    EXPECT_TRUE(h.find<QRadioButton>(u"_rec_mode_Photo"_s)->isChecked());
    EXPECT_FALSE(h.find<QRadioButton>(u"_rec_mode_Audio"_s)->isChecked());
    expectShown({"idTableView"}, {"_Search_Type", "_disk_val_Sig"});
    EXPECT_EQ(h.find<QLabel>(u"_disk_val_Sig"_s)->text(), u"<None>"_s);
}

TEST_F(WizardFlow, StartUpAndExitDuringASearchRemoveThePreviewFilesExitAnsweredNoKeepsTheWindow)
{
    h.writeList(u"ZephExt2.dll"_s, {{".jpg", "18874368", "FFD8FF", "1", "JPEG picture"}});
    const QString leftOver = h.previewFolder + u"/dprv.MOV"_s; // by a run that crashed
    ASSERT_TRUE(QFile(leftOver).open(QIODevice::WriteOnly));
    makeImage(u"card.img"_s, 100, {{10, twoColourJpeg(32, 32)}});
    startOn(u"_rec_mode_Photo"_s);
    EXPECT_FALSE(QFile::exists(leftOver));
    h.alerts.answers = {u"No"_s, u"No"_s, u"No"_s, u"Yes"_s};
    h.click(u"Exit_Btn"_s);
    EXPECT_FALSE(h.controller().close());
    EXPECT_TRUE(h.controller().isVisible());
    EXPECT_TRUE(h.terminations.empty());

    h.gate.holdAt(50), h.click(u"Next_btn"_s);
    ASSERT_TRUE(h.gate.waitUntilHeld());
    const QString preview = h.previewFolder + u"/dprv.JPG"_s;
    ASSERT_TRUE(QFile(preview).open(QIODevice::WriteOnly));
    h.click(u"Exit_Btn"_s); // No: the search goes on as it was
    EXPECT_TRUE(h.controller().searchRunning() && enabled(u"_stop_scan"_s));
    h.gate.release(), h.click(u"Exit_Btn"_s);
    EXPECT_EQ(h.terminations, std::vector<bool>{false});
    EXPECT_FALSE(h.controller().searchRunning());
    EXPECT_EQ(h.finalScreens(), 0); // no end-of-search window while leaving
    EXPECT_FALSE(QFile::exists(preview));
    // The termination closes the window without asking again.
    EXPECT_TRUE(h.controller().close());
    EXPECT_EQ(h.alerts.shown.size(), 4u);
}

} // namespace
} // namespace salvyn::testing
