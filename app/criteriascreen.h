#pragma once
// One search-criteria screen: the disk information, the entire-disk / sector-range choice
// with its sliders and fields, the destination folder and (photo set only) the thorough
// box. The photo set has plain outlet names, the set of the other modes the same names
// with the suffix "_Sig"; both come from one builder. UI thread only.
#include <QList>
#include <QObject>
#include <QString>
#include <cstdint>
#include <optional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QWidget;

namespace salvyn {


// What the range controls hold for one end of the range.
struct RangeEnd {
    QGroupBox* box = nullptr;
    QLabel* minCaption = nullptr;
    QLabel* minValue = nullptr;
    QLabel* maxCaption = nullptr;
    QLabel* maxValue = nullptr;
    QLabel* currentCaption = nullptr;
    QLineEdit* field = nullptr;
    QSlider* slider = nullptr;
};

class CriteriaScreen final : public QObject {
    Q_OBJECT
public:
    // Builds the controls as children of `parent`; `suffix` is "" or "_Sig".
    CriteriaScreen(QWidget* parent, const QString& suffix, bool withThoroughBox);

    QWidget* page() const { return m_page; }

    // Fills the disk values from the chosen medium and starts on "Entire Disk" with the
    // range controls set to the whole medium (0..sectors).
    void enterFromMedium(const QString& identifier, const QString& volumeName, const QString& fileSystem,
                         const QString& sizeText, const QString& sectorsText);
    // The six disk values (and nothing else) become `text`.
    void setDiskValues(const QString& text);

    void Entire_Disk_Radio();
    void Sector_Range_Radio();
    bool entireDiskChosen() const;
    bool sectorRangeChosen() const;
    QString helpTextForChoice() const; // "" when neither radio is on

    // The groups Part of the wizard shows and hides with this screen.
    void showHide(bool hide);

    QString startText() const;
    QString endText() const;
    QLineEdit* startField() const { return m_start.field; }
    QLineEdit* endField() const { return m_end.field; }
    QLineEdit* pathField() const { return m_path; }
    QPushButton* browseButton() const { return m_browse; }
    QCheckBox* thoroughBox() const { return m_thorough; }

signals:
    void helpTextChanged(const QString& text);
    void browseClicked();

private:
    void buildDiskBox(const QString& suffix);
    void buildRangeBox(const QString& suffix);
    void buildBrowseBox(const QString& suffix);
    void buildChoiceBox(const QString& suffix, bool withThoroughBox);
    RangeEnd buildRangeEnd(const QString& prefix, const QString& suffix, const QString& title);
    void resetRangeToWholeMedium();
    void sliderMoved(const RangeEnd& end, int position);
    void fieldEdited(const RangeEnd& end, const QString& text);
    std::uint64_t sectorCount() const;

    QWidget* m_page = nullptr;
    QGroupBox* m_diskBox = nullptr;
    QList<QWidget*> m_diskInfoControls; // the 12 captions and values
    QList<QLabel*> m_diskValues;        // the 6 values
    QList<QWidget*> m_rangeControls;    // the 17 range controls
    QLabel* m_rangeInfo = nullptr;
    QWidget* m_rangeGroup = nullptr;
    RangeEnd m_start;
    RangeEnd m_end;
    QGroupBox* m_browseBox = nullptr;
    QLabel* m_pathLabel = nullptr;
    QLineEdit* m_path = nullptr;
    QPushButton* m_browse = nullptr;
    QGroupBox* m_choiceBox = nullptr;
    QRadioButton* m_entireDisk = nullptr;
    QRadioButton* m_sectorRange = nullptr;
    QCheckBox* m_thorough = nullptr;
    QLabel* m_thoroughCaption = nullptr;
    QLabel* m_thoroughInfo = nullptr;
    QLabel* m_endSectorValue = nullptr; // holds the sector count text N
};

} // namespace salvyn
