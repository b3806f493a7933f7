#include "results/ui/myimageobject.h"

namespace salvyn {

MyImageObject MyImageObject::initWithImage_data(const QByteArray& imageData, const QString& image_Name,
                                                const QString& image_UID, std::uint64_t File_Start_Sec,
                                                std::uint64_t File_End_Sec)
{
    MyImageObject record;
    record.imageData = imageData;
    record.image_Name = image_Name;
    record.image_UID = image_UID;
    record.File_Start_Sector = File_Start_Sec;
    record.File_End_Sector = File_End_Sec;
    return record;
}

MyImageObject MyImageObject::initWithImage(const QPixmap& image, const QString& image_Name,
                                           const QString& image_UID, std::uint64_t File_Start_Sec,
                                           std::uint64_t File_End_Sec)
{
    MyImageObject record;
    record.image = image;
    record.path = image_Name;
    record.image_Name = image_Name;
    record.image_UID = image_UID;
    record.File_Start_Sector = File_Start_Sec;
    record.File_End_Sector = File_End_Sec;
    return record;
}

} // namespace salvyn
