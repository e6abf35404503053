#pragma once

#include <QString>

// Gives a control its name in the form, so that it can be found by name as
// the form's own code and the tests know it.
template <typename W> W *named(W *widget, const char *objectName)
{
    widget->setObjectName(QString::fromLatin1(objectName));
    return widget;
}
