#include "ui/media_player_host.h"

#include "runtime/binding.h"

namespace {

// The ActiveX host of ATL.DLL, reached by ordinal. The module stays loaded for the life of
// the process: host windows of it may exist until the very end.
struct AtlHostLibrary {
    using InitialiseFunction = BOOL(WINAPI*)();
    using GetControlFunction = HRESULT(WINAPI*)(HWND, IUnknown**);
    InitialiseFunction initialise = nullptr;  // AtlAxWinInit, registers "AtlAxWin"
    GetControlFunction getControl = nullptr;  // AtlAxGetControl
};

template <class Function>
Function Ordinal(HMODULE module, int ordinal) {
    // Through the generic function type, which every function pointer converts to and from.
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(GetProcAddress(module, MAKEINTRESOURCEA(ordinal))));
}

const AtlHostLibrary& AtlHost() {
    static const AtlHostLibrary library = [] {
        AtlHostLibrary loaded;
        if (HMODULE module = LoadSystemLibrary("atl.dll")) {
            loaded.initialise = Ordinal<AtlHostLibrary::InitialiseFunction>(module, 42);
            loaded.getControl = Ordinal<AtlHostLibrary::GetControlFunction>(module, 47);
        }
        return loaded;
    }();
    return library;
}

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
    return TruncateToInt32(CallAutomation(object, member, Kind::kRead).ToNumber());
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
    if (AtlHost().initialise)
        AtlHost().initialise();
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

int32_t MediaPlayerHost::Left(std::optional<int32_t> value) {
    Placement placement = CurrentPlacement();
    if (!value)
        return placement.left;
    placement.left = *value;
    return Place(placement);
}

int32_t MediaPlayerHost::Top(std::optional<int32_t> value) {
    Placement placement = CurrentPlacement();
    if (!value)
        return placement.top;
    placement.top = *value;
    return Place(placement);
}

int32_t MediaPlayerHost::Width(std::optional<int32_t> value) {
    Placement placement = CurrentPlacement();
    if (!value)
        return placement.width;
    placement.width = *value;
    return Place(placement);
}

int32_t MediaPlayerHost::Height(std::optional<int32_t> value) {
    Placement placement = CurrentPlacement();
    if (!value)
        return placement.height;
    placement.height = *value;
    return Place(placement);
}

int32_t MediaPlayerHost::Move(std::optional<int32_t> left, std::optional<int32_t> top,
                              std::optional<int32_t> width, std::optional<int32_t> height) {
    const Placement current = CurrentPlacement();
    return Place({left.value_or(current.left), top.value_or(current.top),
                  width.value_or(current.width), height.value_or(current.height)});
}

int32_t MediaPlayerHost::Visible(std::optional<bool> value) {
    if (!value)
        return SystemFunctions::IsWindowVisible(hostWindow_) ? 1 : 0;
    return SystemFunctions::ShowWindow(hostWindow_, *value ? SW_SHOW : SW_HIDE) ? 1 : 0;
}

int32_t MediaPlayerHost::Enabled(std::optional<bool> value) {
    if (!value)
        return SystemFunctions::IsWindowEnabled(hostWindow_) ? 1 : 0;
    return SystemFunctions::EnableWindow(hostWindow_, *value) ? 1 : 0;
}

void MediaPlayerHost::Destroy() {
    control_->Release();
    SystemFunctions::SendMessageA(hostWindow_, WM_CLOSE, 0, 0);
}

// ---- the player ----

Text MediaPlayerHost::URL(std::optional<Text> value) {
    return TextAccessor(*control_, "URL", value);
}
TextBlock MediaPlayerHost::WideURL(std::optional<TextBlock> value) {
    if (value)
        CallAutomation(*control_, "URL", Kind::kWrite, {*value});
    return CallAutomation(*control_, "URL", Kind::kRead).ToWideText();
}
int32_t MediaPlayerHost::playState() {
    return NumberAccessor(*control_, "playState");
}
int32_t MediaPlayerHost::openState() {
    return NumberAccessor(*control_, "openState");
}
Text MediaPlayerHost::status() {
    return TextAccessor(*control_, "status", std::nullopt);
}
Text MediaPlayerHost::versionInfo() {
    return TextAccessor(*control_, "versionInfo", std::nullopt);
}
int32_t MediaPlayerHost::isOnline() {
    return BooleanAccessor(*control_, "isOnline");
}

int32_t MediaPlayerHost::playerEnabled(std::optional<bool> value) {
    return BooleanAccessor(*control_, "enabled", value);
}

int32_t MediaPlayerHost::fullScreen(std::optional<bool> value) {
    return BooleanAccessor(*control_, "fullScreen", value);
}

int32_t MediaPlayerHost::enableContextMenu(std::optional<bool> value) {
    return BooleanAccessor(*control_, "enableContextMenu", value);
}

Text MediaPlayerHost::uiMode(std::optional<Text> value) {
    return TextAccessor(*control_, "uiMode", value);
}

int32_t MediaPlayerHost::stretchToFit(std::optional<bool> value) {
    return BooleanAccessor(*control_, "stretchToFit", value);
}

int32_t MediaPlayerHost::windowlessVideo(std::optional<bool> value) {
    return BooleanAccessor(*control_, "windowlessVideo", value);
}

int32_t MediaPlayerHost::isRemote() {
    return BooleanAccessor(*control_, "isRemote");
}

// ---- Controls ----

void MediaPlayerHost::play() {
    ControlsMethod(*control_, "play");
}
void MediaPlayerHost::pause() {
    ControlsMethod(*control_, "pause");
}
void MediaPlayerHost::stop() {
    ControlsMethod(*control_, "stop");
}
void MediaPlayerHost::fastForward() {
    ControlsMethod(*control_, "fastForward");
}
void MediaPlayerHost::fastReverse() {
    ControlsMethod(*control_, "fastReverse");
}
void MediaPlayerHost::next() {
    ControlsMethod(*control_, "next");
}
void MediaPlayerHost::previous() {
    ControlsMethod(*control_, "previous");
}

Text MediaPlayerHost::currentPositionString() {
    return SubText(*control_, "Controls", "currentPositionString");
}

double MediaPlayerHost::currentPosition(std::optional<double> value) {
    AutomationRef controls = SubObject(*control_, "Controls");
    if (value)
        CallAutomation(controls, "currentPosition", Kind::kWrite, {*value});
    return CallAutomation(controls, "currentPosition", Kind::kRead).ToNumber();
}

// ---- CurrentMedia ----

Text MediaPlayerHost::getItemInfo(const Text& attribute) {
    AutomationRef media = SubObject(*control_, "CurrentMedia");
    return CallAutomation(media, "getItemInfo", Kind::kMethod, {attribute}).ToText();
}

void MediaPlayerHost::setItemInfo(const Text& attribute, const Text& value) {
    AutomationRef media = SubObject(*control_, "CurrentMedia");
    CallAutomation(media, "setItemInfo", Kind::kMethod, {attribute, value});
}

Text MediaPlayerHost::getItemInfoByAtom(int32_t atom) {
    AutomationRef media = SubObject(*control_, "CurrentMedia");
    return CallAutomation(media, "getItemInfoByAtom", Kind::kMethod, {atom}).ToText();
}

int32_t MediaPlayerHost::attributeCount() {
    return SubNumber(*control_, "CurrentMedia", "attributeCount");
}
Text MediaPlayerHost::durationString() {
    return SubText(*control_, "CurrentMedia", "durationString");
}
int32_t MediaPlayerHost::duration() {
    return SubNumber(*control_, "CurrentMedia", "duration");
}
int32_t MediaPlayerHost::markerCount() {
    return SubNumber(*control_, "CurrentMedia", "markerCount");
}
int32_t MediaPlayerHost::imageSourceHeight() {
    return SubNumber(*control_, "CurrentMedia", "imageSourceHeight");
}
int32_t MediaPlayerHost::imageSourceWidth() {
    return SubNumber(*control_, "CurrentMedia", "imageSourceWidth");
}
Text MediaPlayerHost::name() {
    return SubText(*control_, "CurrentMedia", "name");
}
Text MediaPlayerHost::sourceURL() {
    return SubText(*control_, "CurrentMedia", "sourceURL");
}

// ---- settings ----

int32_t MediaPlayerHost::volume(std::optional<int32_t> value) {
    return SubNumber(*control_, "settings", "volume", value);
}
int32_t MediaPlayerHost::balance(std::optional<int32_t> value) {
    return SubNumber(*control_, "settings", "balance", value);
}
int32_t MediaPlayerHost::playCount(std::optional<int32_t> value) {
    return SubNumber(*control_, "settings", "playCount", value);
}
int32_t MediaPlayerHost::mute(std::optional<bool> value) {
    return SubBoolean(*control_, "settings", "mute", value);
}
int32_t MediaPlayerHost::autoStart(std::optional<bool> value) {
    return SubBoolean(*control_, "settings", "autoStart", value);
}

// ---- Network ----

int32_t MediaPlayerHost::framesSkipped() {
    return SubNumber(*control_, "Network", "framesSkipped");
}
int32_t MediaPlayerHost::encodedFrameRate() {
    return SubNumber(*control_, "Network", "encodedFrameRate");
}
int32_t MediaPlayerHost::downloadProgress() {
    return SubNumber(*control_, "Network", "downloadProgress");
}
int32_t MediaPlayerHost::maxBandwidth(std::optional<int32_t> value) {
    return SubNumber(*control_, "Network", "maxBandwidth", value);
}
int32_t MediaPlayerHost::bitRate() {
    return SubNumber(*control_, "Network", "bitRate");
}
int32_t MediaPlayerHost::frameRate() {
    return SubNumber(*control_, "Network", "frameRate");
}
int32_t MediaPlayerHost::bufferingTime(std::optional<int32_t> value) {
    return SubNumber(*control_, "Network", "bufferingTime", value);
}
int32_t MediaPlayerHost::bufferingProgress() {
    return SubNumber(*control_, "Network", "bufferingProgress");
}
int32_t MediaPlayerHost::bufferingCount() {
    return SubNumber(*control_, "Network", "bufferingCount");
}
int32_t MediaPlayerHost::receptionQuality() {
    return SubNumber(*control_, "Network", "receptionQuality");
}
int32_t MediaPlayerHost::lostPackets() {
    return SubNumber(*control_, "Network", "lostPackets");
}
int32_t MediaPlayerHost::receivedPackets() {
    return SubNumber(*control_, "Network", "receivedPackets");
}
int32_t MediaPlayerHost::recoveredPackets() {
    return SubNumber(*control_, "Network", "recoveredPackets");
}
int32_t MediaPlayerHost::bandWidth() {
    return SubNumber(*control_, "Network", "bandWidth");
}
