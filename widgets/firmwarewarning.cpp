#include "firmwarewarning.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>

QWidget *firmwareWarningRow(QLabel *icon, QLabel *text, QWidget *parent)
{
    auto *row = new QWidget(parent);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    icon->setPixmap(parent->style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(24, 24));
    text->setWordWrap(true);
    layout->addWidget(icon);
    layout->addWidget(text, 1);
    for (QLabel *part : {icon, text}) {
        QSizePolicy policy = part->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        part->setSizePolicy(policy);
    }
    return row;
}
