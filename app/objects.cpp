#include "app/objects.h"

#include <memory>

#include "app/file_list.h"
#include "app/file_rows.h"
#include "app/rules.h"

namespace {

std::unique_ptr<ApplicationObjects> g_objects;

}  // namespace

ApplicationObjects& Objects() {
    if (!g_objects)
        ConstructObjects();
    return *g_objects;
}

void ConstructObjects() {
    if (!g_objects)
        g_objects = std::make_unique<ApplicationObjects>();
}

void DisposeObjects() {
    if (!g_objects)
        return;
    // In inventory order; a window that still exists is only un-subclassed, not destroyed.
    ApplicationObjects& o = *g_objects;
    const std::initializer_list<ControlObject*> mainWindowObjects = {
        &o.mainWindow,         &o.fileList,       &o.directoryLabel, &o.directoryEdit,
        &o.chooseFolderButton, &o.readListButton, &o.rulesButton,    &o.ruleList};
    for (ControlObject* object : mainWindowObjects)
        object->DetachFromWindow();
    HotkeyList.Clear();
    StopReadingFiles();
    FileRowStore().Reset(L"");
    const std::initializer_list<ControlObject*> dialogObjects = {
        &o.ruleDialog,  &o.hotkeyLabel, &o.hotkeyEdit,         &o.operationLabel, &o.operationCombo,
        &o.targetLabel, &o.targetEdit,  &o.chooseTargetButton, &o.addButton,      &o.cancelButton};
    for (ControlObject* object : dialogObjects)
        object->DetachFromWindow();
    ConfigPath.clear();
    g_objects.reset();
}
