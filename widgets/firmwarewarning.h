#pragma once

class QLabel;
class QWidget;

// The row at the foot of an editor that warns about the unit's firmware: the
// warning icon in `icon`, the text beside it. Hidden, it keeps its room, so
// the form does not jump when it shows.
QWidget *firmwareWarningRow(QLabel *icon, QLabel *text, QWidget *parent);
