#pragma once

class QWidget;
struct CatalogueField;

// The control of a window that shows a field, found by the captions the
// window shows: a box named by the field's file key, else the control a
// caption labels (or that carries the caption as its accessible name). A caption naming an alarm slot first ("Configuracion 1 -
// Maximo") selects that slot; a record shown in a frame of its own
// ("Temporizador 5") narrows the search to it. Null when none shows it.
QWidget *locateField(QWidget *window, const CatalogueField &field);

// Puts the cursor in the control and lights it up for a moment; a disabled
// control is lit up and the cursor put in the control that enables it.
void highlightField(QWidget *control);
