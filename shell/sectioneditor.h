#pragma once

#include <QWidget>

// The contract every configuration section window keeps with the shell, the
// configuration transfer and the file commands. The data operations run the
// section's core functions; the window adds its controls around them.
class SectionEditor : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

    virtual void LoadText() = 0;                 // captions through the language table
    virtual void ChangeIndex(int newIndex) = 0;  // store the shown channel, show newIndex
    virtual void Clear() = 0;                    // section defaults, then shown
    virtual void LoadData() = 0;                 // model -> controls
    virtual void StoreControls() = 0;            // controls -> model
};
