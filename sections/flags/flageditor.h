#pragma once

#include "sections/alarms/alarmeditor.h"

// The flag alarm window: the alarm editor in its smallest form, one flag at a
// time. Its title is the heading without the flag's number.
class Flags : public AlarmEditor {
    Q_OBJECT
public:
    Flags(ConfigStore &store, const SectionRegistry &sections,
          ActionEditor actions = productActionEditor, QWidget *parent = nullptr);

    void LoadText() override;
};
