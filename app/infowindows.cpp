#include "app/infowindows.h"

#include "app/windowcolour.h"
#include "platform/qt/alertservice.h"
#include "platform/qt/documentopener.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtGlobal>

namespace salvyn {
namespace {

const char* const kBrowseInfoText =
    "Choose the folder for your recovered files.\n\n"
    "Pick a folder on another disk than the one you are searching: whatever is written to "
    "that medium could overwrite files still waiting to be found.";

const char* const kPhotoSearchEndedText =
    "The search has ended.\n\n"
    "Every photo found is shown as a thumbnail. Use the zoom slider to make them larger. "
    "Press ‘Back’ to search again with other settings.";

const char* const kRawSearchEndedText =
    "The search has ended.\n\n"
    "The table counts the files found of each type. Select a file to see its preview. "
    "Press ‘Back’ to search again with other settings.";

const char* const kHelpText =
    "1. Choose the card, stick or disk image and what to look for: photos, videos, other "
    "files or audio.\n"
    "2. Search the whole medium, or only a range of sectors.\n"
    "3. For videos, other files and audio, tick the file types you want.\n"
    "4. Watch the finds appear; select one to preview it.\n\n"
    "Salvyn only reads the medium and never writes to it. The user guide tells more.";

QString aboutText()
{
    QString text = QStringLiteral("Korvia - Salvyn\n");
    const QString version = QCoreApplication::applicationVersion();
    if (!version.isEmpty())
        text += QStringLiteral("Version ") + version + QLatin1Char('\n');
    text += QStringLiteral(
        "\nSalvyn finds lost photos, videos, audio and other files on memory cards, USB sticks and "
        "disk images by the signatures their first sectors carry, reading the medium without ever "
        "writing to it.\n\n"
        "Made by Korvia.\n\n");
    text += QStringLiteral("Built with Qt ") + QString::fromLatin1(qVersion())
        + QStringLiteral(", used under the GNU Lesser General Public License version 3.");
    return text;
}

} // namespace

InfoWindow::InfoWindow(const QString& objectName, const QString& title, const QString& text, QWidget* parent)
    : QDialog(parent), m_content(new QVBoxLayout(this)), m_buttonRow(new QWidget(this))
{
    setObjectName(objectName);
    setWindowTitle(title);
    applyWindowColour(*this);
    auto* label = new QLabel(text, this);
    label->setObjectName(QStringLiteral("_info_text"));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setMinimumWidth(380);
    m_content->addWidget(label);
    auto* row = new QHBoxLayout(m_buttonRow);
    row->setContentsMargins(0, 0, 0, 0);
    row->addStretch();
    m_content->addWidget(m_buttonRow);
}

QPushButton* InfoWindow::addButton(const QString& objectName, const QString& title)
{
    auto* button = new QPushButton(title, m_buttonRow);
    button->setObjectName(objectName);
    button->setDefault(true);
    m_buttonRow->layout()->addWidget(button);
    return button;
}

Browse_Info::Browse_Info(QWidget* parent)
    : InfoWindow(QStringLiteral("BrowseInfo_Window"), QStringLiteral("Destination folder"),
                 QString::fromUtf8(kBrowseInfoText), parent)
{
    connect(addButton(QStringLiteral("Continue_Btn"), QStringLiteral("Continue")), &QPushButton::clicked, this,
            &Browse_Info::Continue_Btn);
}

SaveFile_Info::SaveFile_Info(QWidget* parent)
    : InfoWindow(QStringLiteral("SaveFile_Info_Window"), QStringLiteral("Search ended"),
                 QString::fromUtf8(kPhotoSearchEndedText), parent)
{
    connect(addButton(QStringLiteral("OK_Btn"), QStringLiteral("OK")), &QPushButton::clicked, this,
            &SaveFile_Info::OK_Btn);
}

SaveFile_Info_For_RAW::SaveFile_Info_For_RAW(QWidget* parent)
    : InfoWindow(QStringLiteral("SaveFile_Info_For_RAW_Window"), QStringLiteral("Search ended"),
                 QString::fromUtf8(kRawSearchEndedText), parent)
{
    connect(addButton(QStringLiteral("OK_Btn"), QStringLiteral("OK")), &QPushButton::clicked, this,
            &SaveFile_Info_For_RAW::OK_Btn);
}

Help_Support::Help_Support(const QString& resourceFolder, DocumentOpener& opener, AlertService& alerts,
                           QWidget* parent)
    : InfoWindow(QStringLiteral("HelpWindow"), QStringLiteral("Help"), QString::fromUtf8(kHelpText), parent),
      m_resourceFolder(resourceFolder), m_opener(opener), m_alerts(alerts)
{
    // Drawn as a link: bold, blue and underlined on the window colour, with an open hand.
    auto* link = new QPushButton(QStringLiteral("Open the user guide (Help.pdf)"), this);
    link->setObjectName(QStringLiteral("_Help_File_Label"));
    link->setFlat(true);
    link->setAutoDefault(false);
    QFont font = link->font();
    font.setBold(true);
    font.setUnderline(true);
    link->setFont(font);
    QPalette palette = link->palette();
    palette.setColor(QPalette::ButtonText, Qt::blue);
    palette.setColor(QPalette::Button, windowColour());
    link->setPalette(palette);
    link->setCursor(Qt::OpenHandCursor);
    contentLayout()->insertWidget(1, link, 0, Qt::AlignLeft);
    connect(link, &QPushButton::clicked, this, &Help_Support::HelpFilePressed);
    connect(addButton(QStringLiteral("Close_Btn"), QStringLiteral("Close")), &QPushButton::clicked, this,
            &Help_Support::Close_Btn);
}

void Help_Support::HelpFilePressed()
{
    const QString helpFile = m_resourceFolder + QStringLiteral("/Help.pdf");
    // The desktop may answer after this window has closed; the alert then stands over the wizard.
    const auto failed = [&alerts = m_alerts, self = QPointer<QWidget>(this), wizard = QPointer<QWidget>(parentWidget())](
                            const QString& reason) {
        alerts.message(self ? self.data() : wizard.data(), QStringLiteral("\nThe help file cannot be opened."), reason);
    };
    if (QFileInfo::exists(helpFile))
        m_opener.openFile(helpFile, failed);
    else
        m_alerts.message(this, QStringLiteral("\nHelp file does not exist!"));
}

AboutWindow::AboutWindow(QWidget* parent)
    : InfoWindow(QStringLiteral("AboutWindow"), QStringLiteral("About Salvyn"), aboutText(), parent)
{
    const QIcon icon = QApplication::windowIcon();
    if (!icon.isNull()) {
        auto* picture = new QLabel(this);
        picture->setObjectName(QStringLiteral("_about_icon"));
        picture->setPixmap(icon.pixmap(64, 64));
        contentLayout()->insertWidget(0, picture, 0, Qt::AlignHCenter);
    }
    connect(addButton(QStringLiteral("OK_Btn"), QStringLiteral("OK")), &QPushButton::clicked, this,
            &AboutWindow::OK_Btn);
}

} // namespace salvyn
