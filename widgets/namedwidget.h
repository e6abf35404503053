#pragma once

#include <QFont>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QString>
#include <initializer_list>

// Small helpers the forms share to build their controls.

// Gives a control its name in the form, so that it can be found by name as
// the form's own code and the tests know it.
template <typename W> W *named(W *widget, const char *objectName)
{
    widget->setObjectName(QString::fromLatin1(objectName));
    return widget;
}

// A named text box whose typing stops at maxLength.
inline QLineEdit *textBox(const char *objectName, int maxLength, QWidget *parent)
{
    auto *box = named(new QLineEdit(parent), objectName);
    box->setMaxLength(maxLength);
    return box;
}

// A named frame holding one row of controls.
inline QGroupBox *frame(const char *objectName, std::initializer_list<QWidget *> controls, QWidget *parent)
{
    auto *box = named(new QGroupBox(parent), objectName);
    auto *row = new QHBoxLayout(box);
    row->setContentsMargins(6, 2, 6, 4);
    for (QWidget *control : controls)
        row->addWidget(control);
    return box;
}

// The window's heading: bold and a fifth larger than the form's text.
inline void makeHeading(QLabel *label)
{
    QFont heading = label->font();
    heading.setBold(true);
    heading.setPointSizeF(heading.pointSizeF() * 1.2);
    label->setFont(heading);
}
