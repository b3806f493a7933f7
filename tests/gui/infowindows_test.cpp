// The information windows, the help window's link and the resources the build ships.
#include "app/infowindows.h"
#include "app/windowcolour.h"
#include "platform/resourcefolder.h"
#include "resultsuifakes.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
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

TEST(InfoWindows, EachIsInTheWindowColourAndItsButtonEndsTheModalRunWithOne)
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
    }
}

TEST(InfoWindows, EscapeEndsTheRunAndHidesTheWindowToo)
{
    SaveFile_Info window;
    EXPECT_EQ(runAndPress(window, QStringLiteral("no such button")), 0);
    EXPECT_FALSE(window.isVisible());
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

TEST_F(HelpWindow, PressingItOpensHelpPdfFromTheResourceFolder)
{
    QFile pdf(resources.path() + QStringLiteral("/Help.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::WriteOnly));
    pdf.write("%PDF-1.4\n");
    pdf.close();
    link->click();
    EXPECT_EQ(opener.opened, QStringList{resources.path() + QStringLiteral("/Help.pdf")});
    EXPECT_TRUE(alerts.shown.empty());
}

TEST_F(HelpWindow, WithoutHelpPdfItSaysSoAndOpensNothing)
{
    link->click();
    EXPECT_TRUE(opener.opened.isEmpty());
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(alerts.shown[0].message, QStringLiteral("\nHelp file does not exist!"));
    EXPECT_TRUE(alerts.shown[0].informativeText.isEmpty());
    EXPECT_EQ(alerts.shown[0].buttons, QStringList{QStringLiteral("OK")});
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

} // namespace
} // namespace salvyn
