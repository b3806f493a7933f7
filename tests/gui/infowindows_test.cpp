// The information windows' modal runs, the help file, the resources the build ships, and
// the real desktop services that run offscreen: alerts and icons.
#include "app/infowindows.h"
#include "app/windowcolour.h"
#include "platform/qt/alertservice.h"
#include "platform/qt/iconprovider.h"
#include "platform/resourcefolder.h"
#include "resultsuifakes.h"

#include <QtWidgets>
#include <QPdfDocument>

#include <gtest/gtest.h>

#include <memory>

namespace salvyn {
namespace {

// Runs `window` with the real runner and presses the button called `buttonName` in it.
int runAndPress(QDialog& window, const QString& buttonName)
{
    QTimer::singleShot(0, &window, [&window, buttonName] {
        if (auto* button = window.findChild<QPushButton*>(buttonName))
            button->click();
        else
            window.reject();
    });
    return ExecModalWindowRunner().runModal(window);
}

TEST(InfoWindows, EachIsInTheWindowColourItsButtonEndsTheModalRunWithOneEscapeWithZeroAndHelpOpensHelpPdf)
{
    testing::FakeOpener opener;
    testing::FakeAlerts alerts;
    Browse_Info browse;
    SaveFile_Info photos;
    SaveFile_Info_For_RAW others;
    QTemporaryDir resources;
    Help_Support help(resources.path(), opener, alerts);
    AboutWindow about;
    const std::pair<QDialog*, const char*> windows[] = {
        {&browse, "Continue_Btn"}, {&photos, "OK_Btn"}, {&others, "OK_Btn"}, {&help, "Close_Btn"}, {&about, "OK_Btn"}};
    for (const auto& [window, button] : windows) {
        SCOPED_TRACE(window->objectName().toStdString());
        EXPECT_EQ(window->palette().color(QPalette::Window), QColor(241, 244, 250));
        EXPECT_TRUE(window->autoFillBackground());
        EXPECT_EQ(runAndPress(*window, QString::fromLatin1(button)), 1);
        EXPECT_FALSE(window->isVisible());
        // Escape ends the run too, with nothing, and hides the window.
        EXPECT_EQ(runAndPress(*window, QStringLiteral("no such button")), 0);
        EXPECT_FALSE(window->isVisible());
    }
    // The help window's link opens Help.pdf from the resource folder, or says it is missing.
    QPushButton* link = help.findChild<QPushButton*>(QStringLiteral("_Help_File_Label"));
    link->click();
    EXPECT_TRUE(opener.opened.isEmpty());
    EXPECT_EQ(alerts.shown.size(), 1u);
    QFile pdf(resources.path() + QStringLiteral("/Help.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::WriteOnly) && pdf.write("%PDF-1.4\n") && pdf.flush());
    link->click();
    EXPECT_EQ(opener.opened, QStringList{pdf.fileName()});
    EXPECT_EQ(alerts.shown.size(), 1u);
    opener.failure = QStringLiteral("no application for PDF"); // the desktop's answer is said, not lost
    link->click();
    ASSERT_EQ(alerts.shown.size(), 2u);
    EXPECT_EQ(alerts.shown[1].informativeText, opener.failure);
}

TEST(ShippedResources, TheBuildTypesetsTheUserGuideIntoHelpPdfAndShipsTheNoPreviewPicture)
{
    const QString folder = QString::fromStdString(findResourceFolder());
    QPdfDocument document;
    ASSERT_EQ(document.load(folder + QStringLiteral("/Help.pdf")), QPdfDocument::Error::None) << folder.toStdString();
    EXPECT_GE(document.pageCount(), 2);
    EXPECT_EQ(QImage(folder + QStringLiteral("/NoPreview.png")).size(), QSize(100, 100));
}

struct SeenAlert { QString text, defaultButton; QStringList buttons; Qt::TextFormat format = Qt::AutoText; };

// Answers the next message box by pressing the button with the given text.
void pressWhenShown(const QString& answer, SeenAlert& seen)
{
    QTimer::singleShot(0, [answer, &seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen.text = box->text() + box->informativeText();
        seen.format = box->textFormat();
        seen.defaultButton = box->defaultButton() ? box->defaultButton()->text() : QString();
        QAbstractButton* pressed = nullptr;
        for (QAbstractButton* b : box->buttons())
            seen.buttons << b->text(), pressed = b->text() == answer ? b : pressed;
        pressed->click();
    });
}

TEST(RealDesktopServices, AMessageHasOnePlainOkButtonAQuestionDefaultsToYesEveryTypeGetsAnIcon)
{
    MessageBoxAlertService alerts;
    SeenAlert message;
    pressWhenShown(QStringLiteral("OK"), message);
    alerts.message(nullptr, QStringLiteral("\n<b>Message</b>"), QStringLiteral("Informative"));
    EXPECT_EQ(message.text, QStringLiteral("\n<b>Message</b>Informative"));
    EXPECT_EQ(message.buttons, QStringList{QStringLiteral("OK")});
    EXPECT_EQ(message.format, Qt::PlainText);
    for (const bool yes : {false, true}) {
        SeenAlert question;
        pressWhenShown(yes ? QStringLiteral("Yes") : QStringLiteral("No"), question);
        EXPECT_EQ(alerts.question(nullptr, QStringLiteral("\nLeave?")), yes);
        EXPECT_EQ(question.defaultButton, QStringLiteral("Yes"));
        EXPECT_EQ(question.buttons.size(), 2);
    }
    ThemeIconProvider icons; // unknown types get the generic file icon
    for (const QString& type : {QStringLiteral("MP4"), QStringLiteral("WAV"), QStringLiteral("QQZZ"), QString()})
        EXPECT_FALSE(icons.iconForFileType(type).pixmap(16, 16).isNull()) << type.toStdString();
}

} // namespace
} // namespace salvyn
