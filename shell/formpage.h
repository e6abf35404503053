#pragma once

#include <QScrollArea>

// The page a window is shown on in the client area: the window fills it, and
// when the window cannot fit (fonts larger than the form was drawn with, a
// smaller frame) the page scrolls instead of cutting it. The page is shown
// and hidden with its window, so the code that opens and closes windows
// keeps working on the windows themselves.
class FormPage : public QScrollArea {
    Q_OBJECT
public:
    // Takes the window into a new page of `parent`.
    FormPage(QWidget *form, QWidget *parent);

    bool eventFilter(QObject *watched, QEvent *event) override;
};
