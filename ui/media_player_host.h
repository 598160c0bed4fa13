// MediaPlayerHost: the media-player ActiveX control in an "AtlAxWin" host window, with the
// control's automation properties and methods as operations. It is not a ControlObject:
// its virtual functions are a method table of its own, in slot order.
//
// Every player operation is an automation call by member name (ui/automation.h). Read and
// write accessors take an optional new value, write it when given, then read the property
// and return it. Numbers come back truncated toward zero (currentPosition as a double),
// booleans as 1/0, texts as CP_ACP text. The sub-objects (Controls, CurrentMedia,
// settings, Network) are fetched for each operation and released right after it. While
// the object holds no control every player operation returns its empty value.
//
// The window operations use the system functions bound on first use.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>

#include "runtime/text.h"
#include "ui/automation.h"

// The media player's class identifier, also the host window's text.
inline constexpr char kMediaPlayerClassId[] = "{6BF52A52-394A-11d3-B153-00C04F79FAA6}";

class MediaPlayerHost {
  public:
    // Registers the "AtlAxWin" host class (ATL.DLL from the system directory, ordinal 42).
    MediaPlayerHost();

    // 1: releases the control reference.
    virtual ~MediaPlayerHost();
    // 2: a host of the same window that shares the control (AddRef).
    virtual std::unique_ptr<MediaPlayerHost> Clone() const;
    // 3: creates the host window (WS_CHILD | WS_VISIBLE, WS_EX_CLIENTEDGE) and takes the
    // control it hosts. The host window when the control is there, else 0; the window
    // stays in place either way.
    virtual HWND Create(HWND parent, int32_t x, int32_t y, int32_t width = 400,
                        int32_t height = 300, std::optional<int32_t> childId = std::nullopt);
    // 4 to 7: in the parent's client coordinates. With a value: MoveWindow's result.
    virtual int32_t Left(std::optional<int32_t> value = std::nullopt);
    virtual int32_t Top(std::optional<int32_t> value = std::nullopt);
    virtual int32_t Width(std::optional<int32_t> value = std::nullopt);
    virtual int32_t Height(std::optional<int32_t> value = std::nullopt);
    // 8: absent values keep the current ones; one MoveWindow.
    virtual int32_t Move(std::optional<int32_t> left = std::nullopt,
                         std::optional<int32_t> top = std::nullopt,
                         std::optional<int32_t> width = std::nullopt,
                         std::optional<int32_t> height = std::nullopt);
    // 9: without a value: visible 1/0; with one: shows or hides, 1 when it was visible.
    virtual int32_t Visible(std::optional<bool> value = std::nullopt);
    // 10: without a value: enabled 1/0; with one: enables or disables, 1 when it was disabled.
    virtual int32_t Enabled(std::optional<bool> value = std::nullopt);
    // 11: releases the control and closes the host window.
    virtual void Destroy();

    // ---- the player, 12 to 24 ----
    virtual Text URL(std::optional<Text> value = std::nullopt);
    virtual int32_t playState();
    virtual int32_t openState();
    virtual Text status();
    virtual Text versionInfo();
    virtual int32_t isOnline();
    // Whether the player reacts to the user (the control's "enabled" property).
    virtual int32_t playerEnabled(std::optional<bool> value = std::nullopt);
    virtual int32_t fullScreen(std::optional<bool> value = std::nullopt);
    virtual int32_t enableContextMenu(std::optional<bool> value = std::nullopt);
    virtual Text uiMode(std::optional<Text> value = std::nullopt);
    virtual int32_t stretchToFit(std::optional<bool> value = std::nullopt);
    virtual int32_t windowlessVideo(std::optional<bool> value = std::nullopt);
    virtual int32_t isRemote();

    // ---- Controls, 25 to 33 ----
    virtual void play();
    virtual void pause();
    virtual void stop();
    virtual void fastForward();
    virtual void fastReverse();
    virtual void next();
    virtual void previous();
    virtual Text currentPositionString();
    virtual double currentPosition(std::optional<double> value = std::nullopt);

    // ---- CurrentMedia, 34 to 44 ----
    virtual Text getItemInfo(const Text& attribute);
    virtual void setItemInfo(const Text& attribute, const Text& value);
    virtual Text getItemInfoByAtom(int32_t atom);
    virtual int32_t attributeCount();
    virtual Text durationString();
    virtual int32_t duration();
    virtual int32_t markerCount();
    virtual int32_t imageSourceHeight();
    virtual int32_t imageSourceWidth();
    virtual Text name();
    virtual Text sourceURL();

    // ---- settings, 45 to 49 ----
    virtual int32_t volume(std::optional<int32_t> value = std::nullopt);
    virtual int32_t balance(std::optional<int32_t> value = std::nullopt);
    virtual int32_t playCount(std::optional<int32_t> value = std::nullopt);
    virtual int32_t mute(std::optional<bool> value = std::nullopt);
    virtual int32_t autoStart(std::optional<bool> value = std::nullopt);

    // ---- Network, 50 to 63 ----
    virtual int32_t framesSkipped();
    virtual int32_t encodedFrameRate();
    virtual int32_t downloadProgress();
    virtual int32_t maxBandwidth(std::optional<int32_t> value = std::nullopt);
    virtual int32_t bitRate();
    virtual int32_t frameRate();
    virtual int32_t bufferingTime(std::optional<int32_t> value = std::nullopt);
    virtual int32_t bufferingProgress();
    virtual int32_t bufferingCount();
    virtual int32_t receptionQuality();
    virtual int32_t lostPackets();
    virtual int32_t receivedPackets();
    virtual int32_t recoveredPackets();
    virtual int32_t bandWidth();

    // The URL as UTF-16, for paths that the system code page cannot hold: with a value,
    // writes it; gives the URL the control reports.
    TextBlock WideURL(std::optional<TextBlock> value = std::nullopt);

    HWND HostWindow() const { return hostWindow_; }
    // The control reference, with the HRESULT of the last call made through it.
    const AutomationRef& Control() const { return *control_; }

  protected:
    MediaPlayerHost(const MediaPlayerHost& other);
    MediaPlayerHost& operator=(const MediaPlayerHost&) = delete;

  private:
    struct Placement {
        int32_t left, top, width, height;
    };
    Placement CurrentPlacement() const;
    int32_t Place(const Placement& placement);

    HWND hostWindow_ = nullptr;
    std::unique_ptr<AutomationRef> control_;
};
