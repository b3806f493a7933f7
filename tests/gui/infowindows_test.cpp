// The information windows, the help window's link, the resources the build ships, and the
// real desktop services that run offscreen: alerts and icons.
#include "app/infowindows.h"
#include "app/windowcolour.h"
#include "platform/qt/alertservice.h"
#include "platform/qt/iconprovider.h"
#include "platform/resourcefolder.h"
#include "resultsuifakes.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPdfDocument>
#include <QPdfSelection>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace salvyn {
namespace {

QString buildResourceFolder()
{
    return QString::fromStdString(findResourceFolder());
}

// Runs `window` with the real runner and presses the button called `buttonName` in it.
int runAndPress(QDialog& window, const QString& buttonName)
{
    QTimer::singleShot(0, &window, [&window, buttonName] {
        if (auto* button = window.findChild<QPushButton*>(buttonName))
            button->click();
        else
            window.reject();
    });
    ExecModalWindowRunner runner;
    return runner.runModal(window);
}

TEST(InfoWindows, EachIsInTheWindowColourAndItsButtonEndsTheModalRunWithOneEscapeWithZero)
{
    testing::FakeOpener opener;
    testing::FakeAlerts alerts;
    std::vector<std::pair<std::unique_ptr<QDialog>, QString>> windows;
    windows.emplace_back(std::make_unique<Browse_Info>(), QStringLiteral("Continue_Btn"));
    windows.emplace_back(std::make_unique<SaveFile_Info>(), QStringLiteral("OK_Btn"));
    windows.emplace_back(std::make_unique<SaveFile_Info_For_RAW>(), QStringLiteral("OK_Btn"));
    windows.emplace_back(std::make_unique<Help_Support>(QStringLiteral("/nowhere"), opener, alerts),
                         QStringLiteral("Close_Btn"));
    windows.emplace_back(std::make_unique<AboutWindow>(), QStringLiteral("OK_Btn"));
    for (auto& [window, button] : windows) {
        SCOPED_TRACE(window->objectName().toStdString());
        EXPECT_EQ(window->palette().color(QPalette::Window), QColor(241, 244, 250));
        EXPECT_TRUE(window->autoFillBackground());
        auto* text = window->findChild<QLabel*>(QStringLiteral("_info_text"));
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(text->textFormat(), Qt::PlainText);
        EXPECT_FALSE(text->text().isEmpty());
        EXPECT_EQ(runAndPress(*window, button), 1);
        EXPECT_FALSE(window->isVisible());
        // Escape ends the run too, with nothing, and hides the window.
        EXPECT_EQ(runAndPress(*window, QStringLiteral("no such button")), 0);
        EXPECT_FALSE(window->isVisible());
    }
}

TEST(InfoWindows, AboutNamesProductMakerVersionAndToolkitLicence)
{
    const QString previous = QCoreApplication::applicationVersion();
    QCoreApplication::setApplicationVersion(QStringLiteral("1.2.3"));
    AboutWindow about;
    QCoreApplication::setApplicationVersion(previous);
    const QString text = about.findChild<QLabel*>(QStringLiteral("_info_text"))->text();
    EXPECT_TRUE(text.startsWith(QStringLiteral("Korvia - Salvyn\nVersion 1.2.3\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("Made by Korvia.")));
    EXPECT_TRUE(text.contains(QStringLiteral("Built with Qt ") + QString::fromLatin1(qVersion())));
    EXPECT_TRUE(text.contains(QStringLiteral("GNU Lesser General Public License")));
}

struct HelpWindow : ::testing::Test {
    QTemporaryDir resources;
    testing::FakeOpener opener;
    testing::FakeAlerts alerts;
    Help_Support help{resources.path(), opener, alerts};
    QPushButton* link = help.findChild<QPushButton*>(QStringLiteral("_Help_File_Label"));
};

TEST_F(HelpWindow, TheHelpFileButtonLooksLikeALink)
{
    ASSERT_NE(link, nullptr);
    EXPECT_TRUE(link->isFlat());
    EXPECT_TRUE(link->font().bold());
    EXPECT_TRUE(link->font().underline());
    EXPECT_EQ(link->palette().color(QPalette::ButtonText), QColor(Qt::blue));
    EXPECT_EQ(link->cursor().shape(), Qt::OpenHandCursor);
}

TEST_F(HelpWindow, PressingItOpensHelpPdfFromTheResourceFolderOrSaysItIsMissing)
{
    link->click();
    EXPECT_TRUE(opener.opened.isEmpty());
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(alerts.shown[0].message, QStringLiteral("\nHelp file does not exist!"));
    EXPECT_TRUE(alerts.shown[0].informativeText.isEmpty());
    EXPECT_EQ(alerts.shown[0].buttons, QStringList{QStringLiteral("OK")});

    QFile pdf(resources.path() + QStringLiteral("/Help.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::WriteOnly));
    pdf.write("%PDF-1.4\n");
    pdf.close();
    link->click();
    EXPECT_EQ(opener.opened, QStringList{resources.path() + QStringLiteral("/Help.pdf")});
    EXPECT_EQ(alerts.shown.size(), 1u);
}

TEST(ShippedResources, TheBuildTypesetsTheUserGuideIntoHelpPdf)
{
    const QString path = buildResourceFolder() + QStringLiteral("/Help.pdf");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    EXPECT_EQ(file.read(5), QByteArray("%PDF-"));
    QPdfDocument document;
    ASSERT_EQ(document.load(path), QPdfDocument::Error::None);
    ASSERT_GE(document.pageCount(), 2);
    QString text;
    for (int page = 0; page < document.pageCount(); ++page)
        text += document.getAllText(page).text();
    for (const char* topic : {"Salvyn user guide", "Entire Disk", "Sector Range", "Thorough search", "Preview",
                              "Permissions on Linux"})
        EXPECT_TRUE(text.contains(QLatin1String(topic), Qt::CaseInsensitive)) << topic;
}

TEST(ShippedResources, TheNoPreviewPictureIsThereAndDecodes)
{
    QImage picture(buildResourceFolder() + QStringLiteral("/NoPreview.png"));
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), QSize(100, 100));
}

struct SeenAlert {
    QString text, informative, defaultButton;
    QStringList buttons;
    Qt::TextFormat format = Qt::AutoText;
};

// Answers the next message box by pressing the button with the given text.
void pressWhenShown(const QString& answer, SeenAlert& seen)
{
    QTimer::singleShot(0, [answer, &seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen.text = box->text();
        seen.informative = box->informativeText();
        seen.format = box->textFormat();
        seen.defaultButton = box->defaultButton() ? box->defaultButton()->text() : QString();
        for (QAbstractButton* b : box->buttons())
            seen.buttons << b->text();
        for (QAbstractButton* b : box->buttons())
            if (b->text() == answer)
                b->click();
    });
}

TEST(MessageBoxAlertService, MessageHasOnePlainOkButtonAndTheExactTexts)
{
    MessageBoxAlertService alerts;
    SeenAlert seen;
    pressWhenShown(QStringLiteral("OK"), seen);
    alerts.message(nullptr, QStringLiteral("\nMaximum sector range exceeded"),
                   QStringLiteral("Please enter valid Start Sector value."));
    EXPECT_EQ(seen.text, QStringLiteral("\nMaximum sector range exceeded"));
    EXPECT_EQ(seen.informative, QStringLiteral("Please enter valid Start Sector value."));
    EXPECT_EQ(seen.buttons, QStringList{QStringLiteral("OK")});
    EXPECT_EQ(seen.defaultButton, QStringLiteral("OK"));
    EXPECT_EQ(seen.format, Qt::PlainText);
}

TEST(MessageBoxAlertService, QuestionDefaultsToYesAndAnswersWhatWasPressed)
{
    MessageBoxAlertService alerts;
    SeenAlert seen;
    pressWhenShown(QStringLiteral("No"), seen);
    EXPECT_FALSE(alerts.question(nullptr, QStringLiteral("\nDo you really want to exit?")));
    EXPECT_EQ(seen.defaultButton, QStringLiteral("Yes"));
    EXPECT_EQ(seen.buttons.size(), 2);
    EXPECT_TRUE(seen.informative.isEmpty());

    SeenAlert again;
    pressWhenShown(QStringLiteral("Yes"), again);
    EXPECT_TRUE(alerts.question(nullptr, QStringLiteral("\nDo you really want to exit?")));
}

TEST(ThemeIconProvider, EveryTypeGetsAnIconUnknownOnesTheGenericFileIcon)
{
    ThemeIconProvider icons;
    EXPECT_FALSE(icons.iconForFileType(QStringLiteral("MP4")).isNull());
    EXPECT_FALSE(icons.iconForFileType(QStringLiteral("WAV")).isNull());
    const QIcon unknown = icons.iconForFileType(QStringLiteral("QQZZ"));
    ASSERT_FALSE(unknown.isNull());
    EXPECT_FALSE(unknown.pixmap(16, 16).isNull());
    EXPECT_FALSE(icons.iconForFileType(QString()).pixmap(200, 200).isNull());
}

} // namespace
} // namespace salvyn
