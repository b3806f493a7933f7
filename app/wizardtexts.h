#pragma once
// The wizard's own texts, byte for byte as users have always seen them (curly quotes,
// leading line feeds, trailing blanks and spelling included).
#include <QString>

namespace salvyn::texts {

inline const QString kHelpMedia = QStringLiteral(
    "\nSelect the storage media from List from which you want to recover Data. Press \u2018Next\u2019 button to continue... ");
inline const QString kHelpEntireDisk = QStringLiteral(
    "If \u2018Entire Disk\u2019 option is selected, Korvia Recovery searches lost data in the entire storage of "
    "selected disk. If you want to perform within a specific sector range or in specific partition, please select "
    "other searching criteria. Else press \u2018Next\u2019 button to start searching data in Entire disk.");
inline const QString kHelpSectorRange = QStringLiteral(
    "\u2018Sector Range\u2019 option provides facility to specify the range of start and end sector of storage "
    "media within which you want to perform searching for lost data. Please drag knob of Slider to enter sector "
    "range or you can also enter these values in Start Sector and End Sector fields manually.");
inline const QString kHelpCheckList = QStringLiteral(
    "\nPlease select the required extension type for recovery process. Press \u2018Next\u2019 button to continue... ");
inline const QString kHelpSearchEnded =
    QStringLiteral("\nTo select another disk for recovery, click on \u2018Back\u2019 Button.");
inline const QString kHelpSearchRunning = QStringLiteral(
    "\nTo stop recovery, click on \u2018Stop\u2019 Button or please wait for the process to be completed.");

inline const QString kMediaReadError = QStringLiteral("\nError in storage media reading.");
inline const QString kExitQuestion = QStringLiteral("\nDo you really want to exit from 'Korvia - Salvyn'?");

inline const QString kSearchTypes[4] = {
    QStringLiteral("Search Type : Recover Photo"), QStringLiteral("Search Type : Recover Video"),
    QStringLiteral("Search Type : Recover Raw File"), QStringLiteral("Search Type : Audio File")};

inline const QString kSaveFoundFiles = QStringLiteral("Save Found Files\u2026");
inline const QString kNoDestinationFolder = QStringLiteral("\nNo destination folder has been chosen yet.");
inline const QString kNoDestinationFolderHelp =
    QStringLiteral("\u201CSave Found Files\u2026\u201D asks for one, and the found files are saved there.");

inline const QString kNone = QStringLiteral("<None>");
inline const QString kNoPreviewTitle = QStringLiteral("No file is selected to preview");

} // namespace salvyn::texts
