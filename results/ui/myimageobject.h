#pragma once
// One found file as the browsers show it. A photo carries its encoded thumbnail (JPEG, or
// the fallback picture); a video, raw or audio file carries its type's icon (a video or
// sound, once taken, its first frame or cover) and its name as path. Both carry the sector
// range they were found in. The details and pictures measured after a search are filled
// in later; the icon is a QPixmap, so a record holding one is made and read on the UI
// thread only.
#include "results/foundfiledetails.h"

#include <QByteArray>
#include <QPixmap>
#include <QString>

#include <cstdint>
#include <optional>

namespace salvyn {

struct MyImageObject {
    QByteArray imageData;   // photo: the encoded thumbnail shown in Photo mode
    QString path;           // other modes: the file's name, handed to the preview; null for a photo
    QPixmap image;          // other modes: the desktop icon of the file's type, or its frame or cover
    QString image_Name;     // display name with its extension
    QString image_UID;      // identifier of the item
    std::uint64_t File_Start_Sector = 0; // first sector on the medium
    std::uint64_t File_End_Sector = 0;   // the sector at which the file ends, as the search handed it over
    std::optional<FoundFileDetails> details; // measured after the search
    bool undecodable = false;                // a video or sound its decoder could not read

    // A found photo: its encoded picture, name, identifier and the sectors it was collected from.
    static MyImageObject initWithImage_data(const QByteArray& imageData, const QString& image_Name,
                                            const QString& image_UID, std::uint64_t File_Start_Sec,
                                            std::uint64_t File_End_Sec);
    // A found video, raw or audio file: icon, name (also its path), identifier and sector range.
    static MyImageObject initWithImage(const QPixmap& image, const QString& image_Name, const QString& image_UID,
                                       std::uint64_t File_Start_Sec, std::uint64_t File_End_Sec);

    const QString& imageUID() const { return image_UID; }
    const QString& imageTitle() const { return image_Name; }
    const QString& imageSubtitle() const { return image_Name; }
};

} // namespace salvyn
