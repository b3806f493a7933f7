#include "app/criteriascreen.h"

#include "app/windowcolour.h"
#include "app/wizardtexts.h"
#include "platform/numbertext.h"
#include "scan/rangecheck.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

namespace salvyn {
namespace {

QLabel* plainLabel(const QString& name, const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText); // values come from the medium and must not render markup
    return label;
}

} // namespace

CriteriaScreen::CriteriaScreen(QWidget* parent, const QString& suffix, bool withThoroughBox)
    : QObject(parent), m_page(new QWidget(parent))
{
    m_page->setObjectName(QLatin1String("criteriaPage") + suffix);
    buildChoiceBox(suffix, withThoroughBox);
    buildDiskBox(suffix);
    buildBrowseBox(suffix);
    auto* layout = new QVBoxLayout(m_page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_choiceBox);
    layout->addWidget(m_diskBox, 1);
    if (m_thorough) {
        auto* row = new QHBoxLayout;
        row->addWidget(m_thorough);
        row->addWidget(m_thoroughCaption);
        row->addWidget(m_thoroughInfo, 1);
        layout->addLayout(row);
    }
    layout->addWidget(m_browseBox);
}

void CriteriaScreen::buildChoiceBox(const QString& suffix, bool withThoroughBox)
{
    m_choiceBox = new QGroupBox(QStringLiteral("Searching Criteria"), m_page);
    m_choiceBox->setObjectName(QLatin1String("_criteria_Box") + suffix);
    m_entireDisk = new QRadioButton(QStringLiteral("Entire Disk"), m_choiceBox);
    m_entireDisk->setObjectName(QLatin1String("_entire_disk_rd") + suffix);
    m_sectorRange = new QRadioButton(QStringLiteral("Sector Range"), m_choiceBox);
    m_sectorRange->setObjectName(QLatin1String("_sector_range_rd") + suffix);
    // The actions keep the pair exclusive themselves, as the two radios may both be off.
    m_entireDisk->setAutoExclusive(false);
    m_sectorRange->setAutoExclusive(false);
    connect(m_entireDisk, &QRadioButton::clicked, this, &CriteriaScreen::Entire_Disk_Radio);
    connect(m_sectorRange, &QRadioButton::clicked, this, &CriteriaScreen::Sector_Range_Radio);
    auto* layout = new QHBoxLayout(m_choiceBox);
    layout->addWidget(m_entireDisk);
    layout->addWidget(m_sectorRange);
    layout->addStretch(1);
    if (withThoroughBox) {
        m_thorough = new QCheckBox(m_page);
        m_thorough->setObjectName(QLatin1String("_Thro_Mode_Chk") + suffix);
        m_thoroughCaption = plainLabel(QLatin1String("_Thro_Mode_Caption") + suffix,
                                       QStringLiteral("Thorough Search"), m_page);
        m_thoroughInfo = plainLabel(QLatin1String("_Thro_Mode_Info") + suffix,
                                    QStringLiteral("After the general search, search again with the thorough "
                                                   "signatures: slower, and finds more."),
                                    m_page);
        m_thoroughInfo->setWordWrap(true);
    }
}

void CriteriaScreen::buildDiskBox(const QString& suffix)
{
    m_diskBox = new QGroupBox(QStringLiteral("Disk Information"), m_page);
    m_diskBox->setObjectName(QLatin1String("_disk_sector_info_Box") + suffix);
    static const char* const names[] = {"_disk", "_vol_name", "_file_system", "_size",
                                        "_start_sector_entire", "_end_sector_entire"};
    // The colons line up in the form's caption column, not by tabs, which no font keeps apart.
    static const char* const captions[] = {"Disk :", "Volume Name :", "File System :",
                                           "Capacity (size) :", "Start Sector :", "End Sector :"};
    auto* layout = new QVBoxLayout(m_diskBox);
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight);
    for (int i = 0; i < 6; ++i) {
        QLabel* caption = plainLabel(QLatin1String(names[i]) + suffix, QString::fromUtf8(captions[i]), m_diskBox);
        QLabel* value = plainLabel(QLatin1String(names[i]) + QLatin1String("_val") + suffix, texts::kNone, m_diskBox);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(caption, value);
        m_diskInfoControls << caption << value;
        m_diskValues << value;
    }
    layout->addLayout(form);
    m_endSectorValue = m_diskValues.last();
    buildRangeBox(suffix);
    layout->addWidget(m_rangeGroup);
    layout->addStretch(1);
}

void CriteriaScreen::buildRangeBox(const QString& suffix)
{
    m_rangeGroup = new QWidget(m_diskBox);
    m_rangeInfo = plainLabel(QLatin1String("_Sector_Range_Info") + suffix,
                             QStringLiteral("Sectors are 512 bytes. The search reads from the start sector up to, "
                                            "but not including, the end sector."),
                             m_rangeGroup);
    m_rangeInfo->setWordWrap(true);
    m_start = buildRangeEnd(QStringLiteral("_Start"), suffix, QStringLiteral("Start Sector"));
    m_end = buildRangeEnd(QStringLiteral("_End"), suffix, QStringLiteral("End Sector"));
    auto* layout = new QVBoxLayout(m_rangeGroup);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_rangeInfo);
    layout->addWidget(m_start.box);
    layout->addWidget(m_end.box);
    m_rangeControls << m_rangeInfo;
    for (const RangeEnd* end : {&m_start, &m_end})
        m_rangeControls << end->box << end->minCaption << end->minValue << end->maxCaption << end->maxValue
                        << end->currentCaption << end->field << end->slider;
    for (QWidget* control : m_rangeControls)
        control->setHidden(true);
}

RangeEnd CriteriaScreen::buildRangeEnd(const QString& prefix, const QString& suffix, const QString& title)
{
    RangeEnd end;
    end.box = new QGroupBox(title, m_rangeGroup);
    end.box->setObjectName(prefix + QLatin1String("_Sec_Box") + suffix);
    end.minCaption = plainLabel(prefix + QLatin1String("_Sec_Min") + suffix, QStringLiteral("Minimum :"), end.box);
    end.minValue = plainLabel(prefix + QLatin1String("_Sec_Min_val") + suffix, QStringLiteral("0"), end.box);
    end.maxCaption = plainLabel(prefix + QLatin1String("_Sec_Max") + suffix, QStringLiteral("Maximum :"), end.box);
    end.maxValue = plainLabel(prefix + QLatin1String("_Sec_Max_val") + suffix, QStringLiteral("0"), end.box);
    end.currentCaption = plainLabel(prefix + QLatin1String("_Sec_curr") + suffix, QStringLiteral("Current :"), end.box);
    end.field = new QLineEdit(end.box);
    end.field->setObjectName(prefix + QLatin1String("_slider_val") + suffix);
    end.slider = new QSlider(Qt::Horizontal, end.box);
    end.slider->setObjectName(prefix + QLatin1String("_Slider") + suffix);
    auto* grid = new QGridLayout(end.box);
    grid->addWidget(end.minCaption, 0, 0);
    grid->addWidget(end.minValue, 0, 1);
    grid->addWidget(end.maxCaption, 0, 2);
    grid->addWidget(end.maxValue, 0, 3);
    grid->addWidget(end.currentCaption, 0, 4);
    grid->addWidget(end.field, 0, 5);
    grid->addWidget(end.slider, 1, 0, 1, 6);
    grid->setColumnStretch(3, 1);
    const RangeEnd copy = end;
    connect(end.slider, &QSlider::valueChanged, this, [this, copy](int position) { sliderMoved(copy, position); });
    connect(end.field, &QLineEdit::textEdited, this, [this, copy](const QString& text) { fieldEdited(copy, text); });
    return end;
}

void CriteriaScreen::buildBrowseBox(const QString& suffix)
{
    m_browseBox = new QGroupBox(QStringLiteral("Destination"), m_page);
    m_browseBox->setObjectName(QLatin1String("_browse_Box") + suffix);
    m_pathLabel = plainLabel(QLatin1String("_path_label") + suffix, QStringLiteral("Destination Folder :"), m_browseBox);
    m_path = new QLineEdit(m_browseBox);
    m_path->setObjectName(QLatin1String("_path") + suffix);
    // Filled by Browse only: drawn on the window's colour, without a field's white, so it
    // does not invite typing.
    m_path->setReadOnly(true);
    m_path->setFrame(false);
    m_path->setBackgroundRole(QPalette::Window);
    QPalette shown = m_path->palette();
    shown.setColor(QPalette::Base, windowColour());
    m_path->setPalette(shown);
    m_browse = new QPushButton(QStringLiteral("Browse..."), m_browseBox);
    m_browse->setObjectName(QLatin1String("_browse_path") + suffix);
    connect(m_browse, &QPushButton::clicked, this, &CriteriaScreen::browseClicked);
    auto* layout = new QHBoxLayout(m_browseBox);
    layout->addWidget(m_pathLabel);
    layout->addWidget(m_path, 1);
    layout->addWidget(m_browse);
}

void CriteriaScreen::enterFromMedium(const QString& identifier, const QString& volumeName,
                                     const QString& fileSystem, const QString& sizeText, const QString& sectorsText)
{
    m_path->clear();
    m_entireDisk->setChecked(true);
    m_sectorRange->setChecked(false);
    const QString values[] = {identifier, volumeName, fileSystem, sizeText, QStringLiteral("0"), sectorsText};
    for (int i = 0; i < 6; ++i)
        m_diskValues[i]->setText(values[i]);
    resetRangeToWholeMedium();
    if (m_thorough)
        m_thorough->setChecked(true);
}

void CriteriaScreen::setDiskValues(const QString& text)
{
    for (QLabel* value : m_diskValues)
        value->setText(text);
}

void CriteriaScreen::Entire_Disk_Radio()
{
    emit helpTextChanged(texts::kHelpEntireDisk);
    m_entireDisk->setChecked(true);
    m_sectorRange->setChecked(false);
    for (QWidget* control : m_diskInfoControls)
        control->setHidden(false);
    for (QWidget* control : m_rangeControls)
        control->setHidden(true);
    m_rangeGroup->setHidden(true);
}

void CriteriaScreen::Sector_Range_Radio()
{
    emit helpTextChanged(texts::kHelpSectorRange);
    m_entireDisk->setChecked(false);
    m_sectorRange->setChecked(true);
    for (QWidget* control : m_diskInfoControls)
        control->setHidden(true);
    resetRangeToWholeMedium();
    m_rangeGroup->setHidden(false);
    for (QWidget* control : m_rangeControls)
        control->setHidden(false);
}

void CriteriaScreen::resetRangeToWholeMedium()
{
    const std::uint64_t sectors = sectorCount();
    const QString sectorsText = QString::number(sectors);
    const int top = sliderMaximumFor(sectors);
    for (const RangeEnd* end : {&m_start, &m_end}) {
        const bool isEnd = end == &m_end;
        const QSignalBlocker blocker(end->slider);
        end->slider->setMinimum(0);
        end->slider->setMaximum(top);
        end->slider->setValue(isEnd ? top : 0);
        end->minValue->setText(QStringLiteral("0"));
        end->maxValue->setText(sectorsText);
        end->field->setText(isEnd ? sectorsText : QStringLiteral("0"));
    }
}

void CriteriaScreen::sliderMoved(const RangeEnd& end, int position)
{
    end.field->setText(QString::number(sectorForSliderPosition(position, sectorCount())));
}

void CriteriaScreen::fieldEdited(const RangeEnd& end, const QString& text)
{
    const double typed = doubleValue(text.toStdString());
    const std::uint64_t sectors = sectorCount();
    if (!(typed <= static_cast<double>(sectors)))
        return; // beyond the medium: the slider stays where it is
    const QSignalBlocker blocker(end.slider);
    end.slider->setValue(sliderPositionForSector(typed > 0 ? static_cast<std::uint64_t>(typed) : 0, sectors));
}

std::uint64_t CriteriaScreen::sectorCount() const
{
    return unsignedLongLongValue(m_endSectorValue->text().toStdString());
}

bool CriteriaScreen::entireDiskChosen() const { return m_entireDisk->isChecked(); }
bool CriteriaScreen::sectorRangeChosen() const { return m_sectorRange->isChecked(); }

QString CriteriaScreen::helpTextForChoice() const
{
    if (entireDiskChosen())
        return texts::kHelpEntireDisk;
    return sectorRangeChosen() ? texts::kHelpSectorRange : QString();
}

void CriteriaScreen::showHide(bool hide)
{
    if (entireDiskChosen() && !sectorRangeChosen()) {
        for (QWidget* control : m_diskInfoControls)
            control->setHidden(hide);
    } else if (!entireDiskChosen() && sectorRangeChosen()) {
        m_rangeGroup->setHidden(hide);
        for (QWidget* control : m_rangeControls)
            control->setHidden(hide);
    }
    for (QWidget* control : {static_cast<QWidget*>(m_diskBox), static_cast<QWidget*>(m_browseBox),
                             static_cast<QWidget*>(m_pathLabel), static_cast<QWidget*>(m_path),
                             static_cast<QWidget*>(m_browse), static_cast<QWidget*>(m_choiceBox),
                             static_cast<QWidget*>(m_entireDisk), static_cast<QWidget*>(m_sectorRange)})
        control->setHidden(hide);
    if (m_thorough)
        for (QWidget* control : {static_cast<QWidget*>(m_thorough), static_cast<QWidget*>(m_thoroughCaption),
                                 static_cast<QWidget*>(m_thoroughInfo)})
            control->setHidden(hide);
    m_page->setHidden(hide);
}

QString CriteriaScreen::startText() const { return m_start.field->text(); }
QString CriteriaScreen::endText() const { return m_end.field->text(); }

} // namespace salvyn
