#include "app/operations/undo_menu.h"

#include <windows.h>

#include "app/window/application.h"
#include "app/operations/undo_history.h"
#include "app/rules/options_menu.h"
#include "ui/unique_handle.h"

namespace {

constexpr UINT_PTR kUndoCommand = 1;

}  // namespace

int32_t OfferUndoMenu(Application& app, int32_t row) {
    if (row < 0)
        return 0;
    const UniqueMenu menu(CreatePopupMenu());
    if (!menu)
        return 0;
    AppendMenuW(menu.Get(), MF_STRING | (CanUndoRow(app, row) ? MF_ENABLED : MF_GRAYED),
                kUndoCommand, L"撤销");
    AppendOptionItems(app, menu.Get());
    POINT cursor{};
    GetCursorPos(&cursor);
    const auto command =
        static_cast<UINT_PTR>(TrackPopupMenu(menu.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, cursor.x,
                                             cursor.y, 0, app.mainWindow, nullptr));
    if (command == kUndoCommand)
        UndoRow(app, row);
    else
        ChooseOption(app, command);
    return 0;
}
