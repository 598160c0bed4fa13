// Full screen: the photo pane and the player move into a borderless window over the monitor the
// main window is on, on black, while the main window stays exactly as it was behind it. Keys
// pressed there reach the file list as if it had the focus, so stepping, rules, the
// move-on and the legend work as in the window; F11, Esc or a double-click comes back.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct Application;

// The monitor (of those given) a window is on: the one it overlaps most, else the one
// nearest to it, as the system places a full-screen window.
RECT MonitorUnder(const RECT& window, const std::vector<RECT>& monitors);

bool IsFullScreen(const Application& app);
// Enters full screen with the photo pane and the player, or leaves it. Entering needs one
// of them to be shown (a photo, a video or a sound focused).
void ToggleFullScreen(Application& app);
void LeaveFullScreen(Application& app);

// The line at the bottom in full screen: the focused file's number and name ("07/312
// 春节-01.jpg"); after a rule, the result of the last file it acted on ("复制成功 →
// D:\精选", or "复制失败：" and the reason) once it is known.
std::wstring FullScreenFileLine(int32_t position, int32_t count, std::wstring_view name);
void ShowFullScreenFile(Application& app, int32_t position);
// A rule acted on `row`, sending it to the folder `target`.
void NoteFullScreenRule(Application& app, int32_t row, std::wstring target);
// Operations ended: shows the noted row's result when it has one.
void ShowFullScreenResult(Application& app);
