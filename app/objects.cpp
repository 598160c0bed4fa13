#include "app/objects.h"

#include <memory>

#include "app/file_enumeration.h"

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
    ApplicationObjects& objects = *g_objects;
    objects.mainWindow.DetachFromWindow();
    FilePathList.Clear();
    objects.ruleDialog.DetachFromWindow();
    g_objects.reset();
}
