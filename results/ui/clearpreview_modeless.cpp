#include "results/ui/clearpreview_modeless.h"

#include <QLabel>
#include <QVBoxLayout>

namespace salvyn {

ClearPreview_Modeless::ClearPreview_Modeless(QWidget* controlPanel)
    : QDialog(controlPanel, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("ClearPreview_Window"));
    setWindowModality(Qt::WindowModal);
    setWindowTitle(tr("Preview"));
    auto* text = new QLabel(tr("Preparing the preview, please wait…"), this);
    text->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->addWidget(text);
}

void ClearPreview_Modeless::beginSheet()
{
    show();
}

void ClearPreview_Modeless::endSheet()
{
    hide();
}

} // namespace salvyn
