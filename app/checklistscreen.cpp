#include "app/checklistscreen.h"

#include "signatures/qt/checklistmodel.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QTableView>
#include <QVBoxLayout>

namespace salvyn {

QList<QWidget*> CheckListScreen::controls() const
{
    return {page, idCheckTableView, _select_unselect_Chk, _Thro_Mode_Chk_SIG};
}

CheckListScreen buildCheckListScreen(QWidget* parent, CheckListModel* model)
{
    CheckListScreen screen;
    screen.page = new QWidget(parent);
    screen.page->setObjectName(QStringLiteral("checkListPage"));
    screen.idCheckTableView = new QTableView(screen.page);
    screen.idCheckTableView->setObjectName(QStringLiteral("idCheckTableView"));
    screen.idCheckTableView->setModel(model);
    screen.idCheckTableView->setSelectionMode(QAbstractItemView::NoSelection);
    screen.idCheckTableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    screen.idCheckTableView->verticalHeader()->hide();
    screen.idCheckTableView->horizontalHeader()->setSectionResizeMode(CheckListModel::StateColumn,
                                                                     QHeaderView::ResizeToContents);
    screen.idCheckTableView->horizontalHeader()->setSectionResizeMode(CheckListModel::DescriptionColumn,
                                                                     QHeaderView::Stretch);
    screen._select_unselect_Chk = new QCheckBox(QStringLiteral("Select All"), screen.page);
    screen._select_unselect_Chk->setObjectName(QStringLiteral("_select_unselect_Chk"));
    screen._Thro_Mode_Chk_SIG = new QCheckBox(QStringLiteral("Thorough Search"), screen.page);
    screen._Thro_Mode_Chk_SIG->setObjectName(QStringLiteral("_Thro_Mode_Chk_SIG"));

    auto* boxes = new QHBoxLayout;
    boxes->addWidget(screen._select_unselect_Chk);
    boxes->addStretch(1);
    boxes->addWidget(screen._Thro_Mode_Chk_SIG);
    auto* layout = new QVBoxLayout(screen.page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(screen.idCheckTableView, 1);
    layout->addLayout(boxes);
    return screen;
}

} // namespace salvyn
