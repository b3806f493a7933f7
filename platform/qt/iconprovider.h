#pragma once
// The desktop's icon for a file type, given as an extension without the point ("MP4").
// UI thread only (QIcon and QPixmap belong to it). Callers size the icon themselves.
#include <QIcon>
#include <QString>

namespace salvyn {

class IconProvider {
public:
    virtual ~IconProvider() = default;
    // Never a null icon: a type the desktop does not know gets the generic file icon.
    virtual QIcon iconForFileType(const QString& extension) const = 0;
};

// Icons from the freedesktop icon theme through the MIME database: the type's own icon,
// else its generic icon, else the style's file icon. Adwaita stands in when the desktop
// names no theme (minimal desktops, offscreen).
class ThemeIconProvider final : public IconProvider {
public:
    ThemeIconProvider();
    QIcon iconForFileType(const QString& extension) const override;
};

} // namespace salvyn
