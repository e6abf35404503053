#include "flageditor.h"

#include "files/langtable.h"

Flags::Flags(ConfigStore &store, const SectionRegistry &sections, ActionEditor actions,
             QWidget *parent)
    : AlarmEditor(alarmMember(AlarmMember::Flags), store, sections, std::move(actions), parent)
{
    reload();
}

void Flags::LoadText()
{
    AlarmEditor::LoadText();
    setWindowTitle(Translate(QString(member().editor.heading)).trimmed());
}
