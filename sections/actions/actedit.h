#pragma once

#include <QDialog>

#include "model/actionbuffer.h"
#include "widgets/usermessage.h"

class QLabel;
class QListWidget;
class QPushButton;

// "Editar acciones": one action list, from the whole catalogue (`RefList`)
// into the configured actions (`DeviceList`, at most 8). Built over the buffer
// each time it opens; accepting writes buffer slots 0-7, cancelling leaves the
// buffer alone.
class ActEdit : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMaxActions = 8;

    explicit ActEdit(ActionBuffer &buffer, UserMessage message = productMessage,
                     QWidget *parent = nullptr);

    void LoadText();

    void AddButton_Click();
    void DelButton_Click();
    void OKButton_Click();

    QLabel *LabelRef;
    QListWidget *RefList;
    QLabel *LabelDevice;
    QListWidget *DeviceList;
    QPushButton *AddButton;
    QPushButton *DelButton;
    QPushButton *OKButton;
    QPushButton *CancelButton;

private:
    ActionBuffer &buffer_;
    UserMessage message_;
};
