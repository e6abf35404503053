#include "programwindows.h"

#include "shell/editorregistry.h"

void createWindows(EditorRegistry &windows, const ProgramContext &context)
{
    Q_UNUSED(windows);
    Q_UNUSED(context);
}
