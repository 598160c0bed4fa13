// MediaPlayerHost: the media-player ActiveX control in an "AtlAxWin" host window, with the
// control's automation properties and methods as operations. It is not a ControlObject.
//
// Every player operation is an automation call by member name (ui/automation.h). A
// property setter writes the value, then reads the property back and returns it. Numbers come back
// truncated toward zero (currentPosition as a double), booleans as 1/0, texts as CP_ACP text. The
// sub-objects (Controls, CurrentMedia, settings, Network) are fetched for each operation and
// released right after it. While the object holds no control every player operation returns its
// empty value.
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

    // Releases the control reference.
    virtual ~MediaPlayerHost();
    // A host of the same window that shares the control (AddRef).
    std::unique_ptr<MediaPlayerHost> Clone() const;

    // ---- Creation and geometry ----
    // Creates the host window (WS_CHILD | WS_VISIBLE, WS_EX_CLIENTEDGE) and takes the
    // control it hosts. The host window when the control is there, else 0; the window
    // stays in place either way.
    HWND Create(HWND parent, int32_t x, int32_t y, int32_t width = 400, int32_t height = 300,
                std::optional<int32_t> childId = std::nullopt);
    // In the parent's client coordinates; the setters give MoveWindow's result.
    int32_t Left() const;
    int32_t SetLeft(int32_t value);
    int32_t Top() const;
    int32_t SetTop(int32_t value);
    int32_t Width() const;
    int32_t SetWidth(int32_t value);
    int32_t Height() const;
    int32_t SetHeight(int32_t value);
    // Absent values keep the current ones; one MoveWindow.
    int32_t Move(std::optional<int32_t> left = std::nullopt,
                 std::optional<int32_t> top = std::nullopt,
                 std::optional<int32_t> width = std::nullopt,
                 std::optional<int32_t> height = std::nullopt);
    int32_t IsVisible() const;
    // 1 when the window was visible before.
    int32_t SetVisible(bool visible);
    int32_t IsEnabled() const;
    // 1 when the window was disabled before.
    int32_t SetEnabled(bool enabled);
    // Releases the control and closes the host window.
    void Destroy();

    // ---- The player ----
    Text Url();
    Text SetUrl(const Text& value);
    // The URL as UTF-16, for paths that the system code page cannot hold.
    TextBlock WideUrl();
    void SetWideUrl(const TextBlock& value);
    int32_t PlayState();
    int32_t OpenState();
    Text Status();
    Text VersionInfo();
    int32_t IsOnline();
    // Whether the player reacts to the user (the control's "enabled" property).
    int32_t PlayerEnabled();
    int32_t SetPlayerEnabled(bool value);
    int32_t FullScreen();
    int32_t SetFullScreen(bool value);
    int32_t EnableContextMenu();
    int32_t SetEnableContextMenu(bool value);
    Text UiMode();
    Text SetUiMode(const Text& value);
    int32_t StretchToFit();
    int32_t SetStretchToFit(bool value);
    int32_t WindowlessVideo();
    int32_t SetWindowlessVideo(bool value);
    int32_t IsRemote();

    // ---- Playback (the Controls object) ----
    void Play();
    void Pause();
    void Stop();
    void FastForward();
    void FastReverse();
    void Next();
    void Previous();
    Text CurrentPositionString();
    double CurrentPosition();
    double SetCurrentPosition(double value);

    // ---- The current media (CurrentMedia) ----
    Text GetItemInfo(const Text& attribute);
    void SetItemInfo(const Text& attribute, const Text& value);
    Text GetItemInfoByAtom(int32_t atom);
    int32_t AttributeCount();
    Text DurationString();
    int32_t Duration();
    int32_t MarkerCount();
    int32_t ImageSourceHeight();
    int32_t ImageSourceWidth();
    Text Name();
    Text SourceUrl();

    // ---- Settings ----
    int32_t Volume();
    int32_t SetVolume(int32_t value);
    int32_t Balance();
    int32_t SetBalance(int32_t value);
    int32_t PlayCount();
    int32_t SetPlayCount(int32_t value);
    int32_t Mute();
    int32_t SetMute(bool value);
    int32_t AutoStart();
    int32_t SetAutoStart(bool value);

    // ---- Network ----
    int32_t FramesSkipped();
    int32_t EncodedFrameRate();
    int32_t DownloadProgress();
    int32_t MaxBandwidth();
    int32_t SetMaxBandwidth(int32_t value);
    int32_t BitRate();
    int32_t FrameRate();
    int32_t BufferingTime();
    int32_t SetBufferingTime(int32_t value);
    int32_t BufferingProgress();
    int32_t BufferingCount();
    int32_t ReceptionQuality();
    int32_t LostPackets();
    int32_t ReceivedPackets();
    int32_t RecoveredPackets();
    int32_t BandWidth();


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
