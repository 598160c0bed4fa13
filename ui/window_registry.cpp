#include "ui/window_registry.h"

HandleMap WindowRegistry::map_;

void WindowRegistry::Create() {
    map_.ReleaseContents();
}

void WindowRegistry::Destroy() {
    map_.ReleaseContents();
}

void WindowRegistry::Add(HWND hwnd, ControlObject* object) {
    map_.Insert(reinterpret_cast<intptr_t>(hwnd), reinterpret_cast<intptr_t>(object));
}

ControlObject* WindowRegistry::Find(HWND hwnd) {
    return reinterpret_cast<ControlObject*>(map_.Find(reinterpret_cast<intptr_t>(hwnd)));
}

void WindowRegistry::Remove(HWND hwnd) {
    map_.Remove(reinterpret_cast<intptr_t>(hwnd));
}
