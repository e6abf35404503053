#include "actionhandover.h"

#include <QApplication>

#include "actedit.h"

void productActionEditor(ActionBuffer &buffer)
{
    ActEdit dialog(buffer, productMessage, QApplication::activeWindow());
    dialog.exec();
}

void editActions(ActionList &list, ActionBuffer &buffer, const ActionEditor &editor)
{
    buffer.load(list);
    editor(buffer);
    buffer.storeTo(list);
}
