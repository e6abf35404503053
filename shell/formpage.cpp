#include "formpage.h"

#include <QEvent>

FormPage::FormPage(QWidget *form, QWidget *parent) : QScrollArea(parent)
{
    setObjectName(form->objectName() + QStringLiteral("Page"));
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    const bool hidden = form->isHidden();
    setWidget(form);
    form->installEventFilter(this);
    // Taking the window in shows it; it keeps the state it had.
    form->setHidden(hidden);
    setHidden(hidden);
}

bool FormPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == widget()) {
        if (event->type() == QEvent::ShowToParent)
            show();
        else if (event->type() == QEvent::HideToParent)
            hide();
    }
    return QScrollArea::eventFilter(watched, event);
}
