// WindowRegistry: the process-wide map from native window handles to the control objects
// attached to them. It is the only way from a window handle (of a message, of a child
// control) to its object.
#pragma once

#include <windows.h>

#include "ui/handle_map.h"

class ControlObject;

class WindowRegistry {
  public:
    // Makes the registry available (empty, capacity 0: buckets come with the first entry).
    static void Create();
    // Drops every entry; afterwards look-ups find nothing until windows are attached again.
    static void Destroy();

    static void Add(HWND hwnd, ControlObject* object);
    static ControlObject* Find(HWND hwnd);
    static void Remove(HWND hwnd);

    static const HandleMap& Map() { return map_; }

  private:
    static HandleMap map_;
};
