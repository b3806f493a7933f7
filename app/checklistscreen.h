#pragma once
// The check-list screen of the video, raw-file and audio searches: the file types with
// their check boxes, the select-all box and the thorough box. UI thread only.
#include <QList>

class QCheckBox;
class QTableView;
class QWidget;

namespace salvyn {

class CheckListModel;

struct CheckListScreen {
    QWidget* page = nullptr;
    QTableView* idCheckTableView = nullptr;
    QCheckBox* _select_unselect_Chk = nullptr;
    QCheckBox* _Thro_Mode_Chk_SIG = nullptr;

    QList<QWidget*> controls() const;
};

CheckListScreen buildCheckListScreen(QWidget* parent, CheckListModel* model);

} // namespace salvyn
