#include "ui/media_player_host.h"

#include "runtime/binding.h"
#include "runtime/value.h"
#include "ui/library.h"

namespace {

using Kind = AutomationCallKind;

Text TextAccessor(AutomationRef& object, const char* member, const std::optional<Text>& value) {
    if (value)
        CallAutomation(object, member, Kind::kWrite, {*value});
    return CallAutomation(object, member, Kind::kRead).ToText();
}

int32_t NumberAccessor(AutomationRef& object, const char* member,
                       std::optional<int32_t> value = std::nullopt) {
    if (value)
        CallAutomation(object, member, Kind::kWrite, {*value});
    return TruncateToInteger(CallAutomation(object, member, Kind::kRead).ToNumber());
}

int32_t BooleanAccessor(AutomationRef& object, const char* member,
                        std::optional<bool> value = std::nullopt) {
    if (value)
        CallAutomation(object, member, Kind::kWrite, {*value});
    return CallAutomation(object, member, Kind::kRead).ToBoolean() ? 1 : 0;
}

// A sub-object of the player (Controls, CurrentMedia, settings, Network), fetched for one
// operation; the reference is released when the operation ends.
AutomationRef SubObject(AutomationRef& player, const char* name) {
    return CallAutomation(player, name, Kind::kRead).ToObject();
}

Text SubText(AutomationRef& player, const char* sub, const char* member) {
    AutomationRef object = SubObject(player, sub);
    return TextAccessor(object, member, std::nullopt);
}

int32_t SubNumber(AutomationRef& player, const char* sub, const char* member,
                  std::optional<int32_t> value = std::nullopt) {
    AutomationRef object = SubObject(player, sub);
    return NumberAccessor(object, member, value);
}

int32_t SubBoolean(AutomationRef& player, const char* sub, const char* member,
                   std::optional<bool> value) {
    AutomationRef object = SubObject(player, sub);
    return BooleanAccessor(object, member, value);
}

void ControlsMethod(AutomationRef& player, const char* member) {
    AutomationRef controls = SubObject(player, "Controls");
    CallAutomation(controls, member, Kind::kMethod);
}

}  // namespace

MediaPlayerHost::MediaPlayerHost() : control_(std::make_unique<AutomationRef>()) {
    InitialiseControlHosting();
}

MediaPlayerHost::MediaPlayerHost(const MediaPlayerHost& other)
    : hostWindow_(other.hostWindow_),
      control_(std::make_unique<AutomationRef>(ComPtr<IUnknown>(other.control_->Object()))) {}

MediaPlayerHost::~MediaPlayerHost() = default;

std::unique_ptr<MediaPlayerHost> MediaPlayerHost::Clone() const {
    return std::unique_ptr<MediaPlayerHost>(new MediaPlayerHost(*this));
}

HWND MediaPlayerHost::Create(HWND parent, int32_t x, int32_t y, int32_t width, int32_t height,
                             std::optional<int32_t> childId) {
    HINSTANCE instance = SystemFunctions::GetModuleHandleA(nullptr);
    const auto menu = reinterpret_cast<HMENU>(static_cast<INT_PTR>(childId.value_or(0)));
    // The host creates the control that its window text names.
    hostWindow_ = SystemFunctions::CreateWindowExA(WS_EX_CLIENTEDGE, "AtlAxWin",
                                                   kMediaPlayerClassId, WS_CHILD | WS_VISIBLE, x, y,
                                                   width, height, parent, menu, instance, nullptr);
    IUnknown** slot = control_->ReceiveObject();
    if (hostWindow_ && AtlHost().getControl)
        AtlHost().getControl(hostWindow_, slot);
    return control_->IsEmpty() ? nullptr : hostWindow_;
}

MediaPlayerHost::Placement MediaPlayerHost::CurrentPlacement() const {
    RECT screen = {};
    SystemFunctions::GetWindowRect(hostWindow_, &screen);
    POINT corner = {screen.left, screen.top};
    SystemFunctions::ScreenToClient(SystemFunctions::GetParent(hostWindow_), &corner);
    return {corner.x, corner.y, screen.right - screen.left, screen.bottom - screen.top};
}

int32_t MediaPlayerHost::Place(const Placement& placement) {
    return SystemFunctions::MoveWindow(hostWindow_, placement.left, placement.top, placement.width,
                                       placement.height, TRUE);
}

int32_t MediaPlayerHost::Left() const {
    return CurrentPlacement().left;
}

int32_t MediaPlayerHost::SetLeft(int32_t value) {
    Placement placement = CurrentPlacement();
    placement.left = value;
    return Place(placement);
}

int32_t MediaPlayerHost::Top() const {
    return CurrentPlacement().top;
}

int32_t MediaPlayerHost::SetTop(int32_t value) {
    Placement placement = CurrentPlacement();
    placement.top = value;
    return Place(placement);
}

int32_t MediaPlayerHost::Width() const {
    return CurrentPlacement().width;
}

int32_t MediaPlayerHost::SetWidth(int32_t value) {
    Placement placement = CurrentPlacement();
    placement.width = value;
    return Place(placement);
}

int32_t MediaPlayerHost::Height() const {
    return CurrentPlacement().height;
}

int32_t MediaPlayerHost::SetHeight(int32_t value) {
    Placement placement = CurrentPlacement();
    placement.height = value;
    return Place(placement);
}

int32_t MediaPlayerHost::Move(std::optional<int32_t> left, std::optional<int32_t> top,
                              std::optional<int32_t> width, std::optional<int32_t> height) {
    const Placement current = CurrentPlacement();
    return Place({left.value_or(current.left), top.value_or(current.top),
                  width.value_or(current.width), height.value_or(current.height)});
}

int32_t MediaPlayerHost::IsVisible() const {
    return SystemFunctions::IsWindowVisible(hostWindow_) ? 1 : 0;
}

int32_t MediaPlayerHost::SetVisible(bool visible) {
    return SystemFunctions::ShowWindow(hostWindow_, visible ? SW_SHOW : SW_HIDE) ? 1 : 0;
}

int32_t MediaPlayerHost::IsEnabled() const {
    return SystemFunctions::IsWindowEnabled(hostWindow_) ? 1 : 0;
}

int32_t MediaPlayerHost::SetEnabled(bool enabled) {
    return SystemFunctions::EnableWindow(hostWindow_, enabled) ? 1 : 0;
}

void MediaPlayerHost::Destroy() {
    control_->Release();
    SystemFunctions::SendMessageA(hostWindow_, WM_CLOSE, 0, 0);
}

// ---- the player ----

Text MediaPlayerHost::Url() {
    return TextAccessor(*control_, "URL", std::nullopt);
}
Text MediaPlayerHost::SetUrl(const Text& value) {
    return TextAccessor(*control_, "URL", value);
}
TextBlock MediaPlayerHost::WideUrl() {
    return CallAutomation(*control_, "URL", Kind::kRead).ToWideText();
}
void MediaPlayerHost::SetWideUrl(const TextBlock& value) {
    CallAutomation(*control_, "URL", Kind::kWrite, {value});
}
int32_t MediaPlayerHost::PlayState() {
    return NumberAccessor(*control_, "playState");
}
int32_t MediaPlayerHost::OpenState() {
    return NumberAccessor(*control_, "openState");
}
Text MediaPlayerHost::Status() {
    return TextAccessor(*control_, "status", std::nullopt);
}
Text MediaPlayerHost::VersionInfo() {
    return TextAccessor(*control_, "versionInfo", std::nullopt);
}
int32_t MediaPlayerHost::IsOnline() {
    return BooleanAccessor(*control_, "isOnline");
}

int32_t MediaPlayerHost::PlayerEnabled() {
    return BooleanAccessor(*control_, "enabled", std::nullopt);
}
int32_t MediaPlayerHost::SetPlayerEnabled(bool value) {
    return BooleanAccessor(*control_, "enabled", value);
}

int32_t MediaPlayerHost::FullScreen() {
    return BooleanAccessor(*control_, "fullScreen", std::nullopt);
}
int32_t MediaPlayerHost::SetFullScreen(bool value) {
    return BooleanAccessor(*control_, "fullScreen", value);
}

int32_t MediaPlayerHost::EnableContextMenu() {
    return BooleanAccessor(*control_, "enableContextMenu", std::nullopt);
}
int32_t MediaPlayerHost::SetEnableContextMenu(bool value) {
    return BooleanAccessor(*control_, "enableContextMenu", value);
}

Text MediaPlayerHost::UiMode() {
    return TextAccessor(*control_, "uiMode", std::nullopt);
}
Text MediaPlayerHost::SetUiMode(const Text& value) {
    return TextAccessor(*control_, "uiMode", value);
}

int32_t MediaPlayerHost::StretchToFit() {
    return BooleanAccessor(*control_, "stretchToFit", std::nullopt);
}
int32_t MediaPlayerHost::SetStretchToFit(bool value) {
    return BooleanAccessor(*control_, "stretchToFit", value);
}

int32_t MediaPlayerHost::WindowlessVideo() {
    return BooleanAccessor(*control_, "windowlessVideo", std::nullopt);
}
int32_t MediaPlayerHost::SetWindowlessVideo(bool value) {
    return BooleanAccessor(*control_, "windowlessVideo", value);
}

int32_t MediaPlayerHost::IsRemote() {
    return BooleanAccessor(*control_, "isRemote");
}

// ---- Controls ----

void MediaPlayerHost::Play() {
    ControlsMethod(*control_, "play");
}
void MediaPlayerHost::Pause() {
    ControlsMethod(*control_, "pause");
}
void MediaPlayerHost::Stop() {
    ControlsMethod(*control_, "stop");
}
void MediaPlayerHost::FastForward() {
    ControlsMethod(*control_, "fastForward");
}
void MediaPlayerHost::FastReverse() {
    ControlsMethod(*control_, "fastReverse");
}
void MediaPlayerHost::Next() {
    ControlsMethod(*control_, "next");
}
void MediaPlayerHost::Previous() {
    ControlsMethod(*control_, "previous");
}

Text MediaPlayerHost::CurrentPositionString() {
    return SubText(*control_, "Controls", "currentPositionString");
}

double MediaPlayerHost::CurrentPosition() {
    AutomationRef controls = SubObject(*control_, "Controls");
    return CallAutomation(controls, "currentPosition", Kind::kRead).ToNumber();
}
double MediaPlayerHost::SetCurrentPosition(double value) {
    AutomationRef controls = SubObject(*control_, "Controls");
    CallAutomation(controls, "currentPosition", Kind::kWrite, {value});
    return CallAutomation(controls, "currentPosition", Kind::kRead).ToNumber();
}

// ---- CurrentMedia ----

Text MediaPlayerHost::GetItemInfo(const Text& attribute) {
    AutomationRef media = SubObject(*control_, "CurrentMedia");
    return CallAutomation(media, "getItemInfo", Kind::kMethod, {attribute}).ToText();
}

void MediaPlayerHost::SetItemInfo(const Text& attribute, const Text& value) {
    AutomationRef media = SubObject(*control_, "CurrentMedia");
    CallAutomation(media, "setItemInfo", Kind::kMethod, {attribute, value});
}

Text MediaPlayerHost::GetItemInfoByAtom(int32_t atom) {
    AutomationRef media = SubObject(*control_, "CurrentMedia");
    return CallAutomation(media, "getItemInfoByAtom", Kind::kMethod, {atom}).ToText();
}

int32_t MediaPlayerHost::AttributeCount() {
    return SubNumber(*control_, "CurrentMedia", "attributeCount");
}
Text MediaPlayerHost::DurationString() {
    return SubText(*control_, "CurrentMedia", "durationString");
}
int32_t MediaPlayerHost::Duration() {
    return SubNumber(*control_, "CurrentMedia", "duration");
}
int32_t MediaPlayerHost::MarkerCount() {
    return SubNumber(*control_, "CurrentMedia", "markerCount");
}
int32_t MediaPlayerHost::ImageSourceHeight() {
    return SubNumber(*control_, "CurrentMedia", "imageSourceHeight");
}
int32_t MediaPlayerHost::ImageSourceWidth() {
    return SubNumber(*control_, "CurrentMedia", "imageSourceWidth");
}
Text MediaPlayerHost::Name() {
    return SubText(*control_, "CurrentMedia", "name");
}
Text MediaPlayerHost::SourceUrl() {
    return SubText(*control_, "CurrentMedia", "sourceURL");
}

// ---- settings ----

int32_t MediaPlayerHost::Volume() {
    return SubNumber(*control_, "settings", "volume", std::nullopt);
}
int32_t MediaPlayerHost::SetVolume(int32_t value) {
    return SubNumber(*control_, "settings", "volume", value);
}
int32_t MediaPlayerHost::Balance() {
    return SubNumber(*control_, "settings", "balance", std::nullopt);
}
int32_t MediaPlayerHost::SetBalance(int32_t value) {
    return SubNumber(*control_, "settings", "balance", value);
}
int32_t MediaPlayerHost::PlayCount() {
    return SubNumber(*control_, "settings", "playCount", std::nullopt);
}
int32_t MediaPlayerHost::SetPlayCount(int32_t value) {
    return SubNumber(*control_, "settings", "playCount", value);
}
int32_t MediaPlayerHost::Mute() {
    return SubBoolean(*control_, "settings", "mute", std::nullopt);
}
int32_t MediaPlayerHost::SetMute(bool value) {
    return SubBoolean(*control_, "settings", "mute", value);
}
int32_t MediaPlayerHost::AutoStart() {
    return SubBoolean(*control_, "settings", "autoStart", std::nullopt);
}
int32_t MediaPlayerHost::SetAutoStart(bool value) {
    return SubBoolean(*control_, "settings", "autoStart", value);
}

// ---- Network ----

int32_t MediaPlayerHost::FramesSkipped() {
    return SubNumber(*control_, "Network", "framesSkipped");
}
int32_t MediaPlayerHost::EncodedFrameRate() {
    return SubNumber(*control_, "Network", "encodedFrameRate");
}
int32_t MediaPlayerHost::DownloadProgress() {
    return SubNumber(*control_, "Network", "downloadProgress");
}
int32_t MediaPlayerHost::MaxBandwidth() {
    return SubNumber(*control_, "Network", "maxBandwidth", std::nullopt);
}
int32_t MediaPlayerHost::SetMaxBandwidth(int32_t value) {
    return SubNumber(*control_, "Network", "maxBandwidth", value);
}
int32_t MediaPlayerHost::BitRate() {
    return SubNumber(*control_, "Network", "bitRate");
}
int32_t MediaPlayerHost::FrameRate() {
    return SubNumber(*control_, "Network", "frameRate");
}
int32_t MediaPlayerHost::BufferingTime() {
    return SubNumber(*control_, "Network", "bufferingTime", std::nullopt);
}
int32_t MediaPlayerHost::SetBufferingTime(int32_t value) {
    return SubNumber(*control_, "Network", "bufferingTime", value);
}
int32_t MediaPlayerHost::BufferingProgress() {
    return SubNumber(*control_, "Network", "bufferingProgress");
}
int32_t MediaPlayerHost::BufferingCount() {
    return SubNumber(*control_, "Network", "bufferingCount");
}
int32_t MediaPlayerHost::ReceptionQuality() {
    return SubNumber(*control_, "Network", "receptionQuality");
}
int32_t MediaPlayerHost::LostPackets() {
    return SubNumber(*control_, "Network", "lostPackets");
}
int32_t MediaPlayerHost::ReceivedPackets() {
    return SubNumber(*control_, "Network", "receivedPackets");
}
int32_t MediaPlayerHost::RecoveredPackets() {
    return SubNumber(*control_, "Network", "recoveredPackets");
}
int32_t MediaPlayerHost::BandWidth() {
    return SubNumber(*control_, "Network", "bandWidth");
}
