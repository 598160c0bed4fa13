// A visible, foreground library Window as the parent of the controls, players and menus
// under test, so that their notifications are reflected to their objects as in the
// program, and helpers for real mouse input on a control.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include "tests/support/input.h"
#include "tests/support/wait.h"
#include "ui/library.h"
#include "ui/window.h"

class ControlsTest : public ::testing::Test {
  protected:
    // One parent serves the whole suite: under Wine without a window manager, hiding or
    // destroying a visible top-level window waits about two seconds.
    static void SetUpTestSuite() {
        InitialiseLibrary();
        parent_ = new Window();
        const TextBlock title = TextBlock::FromWide(L"controls");
        parent_->Show(
            {.title = &title, .x = 100, .y = 100, .width = 640, .height = 480, .style = WS_POPUP});
    }

    static void TearDownTestSuite() {
        DestroyWindow(parent_->Handle());
        PumpMessages();
        delete parent_;
        parent_ = nullptr;
    }

    void SetUp() override {
        InitialiseLibrary();
        ASSERT_TRUE(IsWindow(Parent()));
        ASSERT_TRUE(BringToForeground(Parent()));
    }

    // The controls of a test go with it.
    void TearDown() override {
        while (const HWND child = GetWindow(Parent(), GW_CHILD))
            DestroyWindow(child);
        PumpMessages();
    }

    static HWND Parent() { return parent_->Handle(); }
    static Window& ParentObject() { return *parent_; }

    // A left click at a point of `window`'s client area.
    static void Click(HWND window, POINT point) {
        ClientToScreen(window, &point);
        LeftClickAt(point);
    }

    static void ClickCentre(HWND window) {
        RECT client{};
        GetClientRect(window, &client);
        Click(window, POINT{client.right / 2, client.bottom / 2});
    }

  private:
    static inline Window* parent_ = nullptr;
};
