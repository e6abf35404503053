#include "schedulewindow.h"

const QStringList &weekdayCaptions()
{
    static const QStringList captions = {"Lun", "Mar", "Mie", "Jue", "Vie", "Sab", "Dom"};
    return captions;
}
