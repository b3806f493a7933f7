#include "platform/qt/iconprovider.h"

#include <QApplication>
#include <QMimeDatabase>
#include <QStyle>

namespace salvyn {

ThemeIconProvider::ThemeIconProvider()
{
    if (QIcon::fallbackThemeName().isEmpty() || QIcon::fallbackThemeName() == QLatin1String("hicolor"))
        QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
}

QIcon ThemeIconProvider::iconForFileType(const QString& extension) const
{
    const QMimeType type = QMimeDatabase().mimeTypeForFile(QLatin1String("x.") + extension,
                                                           QMimeDatabase::MatchExtension);
    QIcon icon = QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName()));
    if (icon.isNull())
        icon = QApplication::style()->standardIcon(QStyle::SP_FileIcon);
    return icon;
}

} // namespace salvyn
