#include "app/window/application.h"

void DisposeApplication(Application& app) {
    // In declaration order; a window that still exists is only un-subclassed, not destroyed.
    ApplicationObjects& o = app.controls;
    const std::initializer_list<ControlObject*> mainWindowObjects = {
        &o.mainWindow,         &o.fileList,       &o.directoryLabel, &o.directoryEdit,
        &o.chooseFolderButton, &o.readListButton, &o.rulesButton,    &o.ruleList};
    for (ControlObject* object : mainWindowObjects)
        object->DetachFromWindow();
    app.rules.loaded.clear();
    StopReadingFiles(app.listing);
    app.fileRows.Reset(L"");
    const std::initializer_list<ControlObject*> dialogObjects = {
        &o.ruleDialog,  &o.hotkeyLabel, &o.hotkeyEdit,         &o.operationLabel, &o.operationCombo,
        &o.targetLabel, &o.targetEdit,  &o.chooseTargetButton, &o.addButton,      &o.cancelButton};
    for (ControlObject* object : dialogObjects)
        object->DetachFromWindow();
    app.rules.configPath.clear();
    // The process ends right after this: a copy still running is not waited for, as the
    // worker could be the very thread that is ending the program.
    static_cast<void>(app.background.release());
}
