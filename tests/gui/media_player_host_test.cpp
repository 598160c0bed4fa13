// MediaPlayerHost with the real media-player control. Under Wine the control offers no
// IDispatch name lookup, so these tests also show that calls reach it through its typed
// interfaces.
#include <objbase.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/gui/gui_controls_fixture.h"
#include "ui/media_player_host.h"

namespace {

class MediaPlayerHostTest : public ControlsTest {
  protected:
    void SetUp() override {
        ControlsTest::SetUp();
        CoInitialize(nullptr);
    }
    void TearDown() override {
        for (auto& host : hosts_) {
            HWND window = host->HostWindow();
            host.reset();
            if (IsWindow(window))
                DestroyWindow(window);
        }
        CoUninitialize();
        ControlsTest::TearDown();
    }

    MediaPlayerHost& NewHost() { return *hosts_.emplace_back(std::make_unique<MediaPlayerHost>()); }

    std::vector<std::unique_ptr<MediaPlayerHost>> hosts_;
};

TEST_F(MediaPlayerHostTest, GeometryAndStateWritesKeepTheOtherValuesAndReportThePreviousState) {
    MediaPlayerHost& host = NewHost();
    HWND window = host.Create(Parent(), 10, 20, 400, 300, 507);
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(507, GetDlgCtrlID(window));
    EXPECT_NE(0, host.SetWidth(320));
    EXPECT_NE(0, host.SetTop(35));
    EXPECT_NE(0, host.Move(std::nullopt, std::nullopt, std::nullopt, 240));
    EXPECT_EQ(10, host.Left());
    EXPECT_EQ(35, host.Top());
    EXPECT_EQ(320, host.Width());
    EXPECT_EQ(240, host.Height());

    EXPECT_EQ(1, host.SetVisible(false));
    EXPECT_EQ(0, host.IsVisible());
    EXPECT_EQ(0, host.SetVisible(true));
    EXPECT_EQ(0, host.SetEnabled(false));  // it was enabled
    EXPECT_EQ(0, host.IsEnabled());
    EXPECT_NE(0, host.SetEnabled(true));
    EXPECT_EQ(1, host.IsEnabled());
}

TEST_F(MediaPlayerHostTest, CallsReachThePlayerAndItsCopyUntilDestroyClosesItAnyCodePage) {
    MediaPlayerHost& host = NewHost();
    ASSERT_NE(nullptr, host.Create(Parent(), 0, 0));
    const Text path("C:\\media\\clip one.mp4");
    EXPECT_STREQ(path.c_str(), host.SetUrl(path).c_str());
    EXPECT_EQ(S_OK, host.Control().LastResult());

    // The application's code page 936 texts reach the control intact where the system
    // code page is 936.
    if (GetACP() == 936) {
        const Text chinese("C:\\媒体\\复制.mp3");
        EXPECT_STREQ(chinese.c_str(), host.SetUrl(chinese).c_str());
    }

    EXPECT_EQ(30, host.SetVolume(30));  // settings, written and read back
    EXPECT_EQ(0, host.SetAutoStart(false));

    AutomationRef control = host.Control();
    AutomationRef controls =
        CallAutomation(control, "Controls", AutomationCallKind::kRead).ToObject();
    ASSERT_FALSE(controls.IsEmpty());
    CallAutomation(controls, "stop", AutomationCallKind::kMethod);
    EXPECT_TRUE(SUCCEEDED(controls.LastResult())) << std::hex << controls.LastResult();

    EXPECT_EQ(0, CallAutomation(control, "noSuchMember", AutomationCallKind::kRead).ToNumber());
    EXPECT_TRUE(FAILED(control.LastResult()));

    // A copy shares the control; destroying the host closes it.
    auto copy = host.Clone();
    EXPECT_EQ(host.HostWindow(), copy->HostWindow());
    EXPECT_EQ(host.Control().Object(), copy->Control().Object());
    copy.reset();
    const HWND window = host.HostWindow();
    host.Destroy();
    EXPECT_TRUE(host.Control().IsEmpty());
    EXPECT_FALSE(IsWindow(window));
}

// A class factory that refuses to make the player. Registered in this process it comes
// before the machine's registration, so the control cannot be created, as on a machine
// without it.
class RefusingPlayerFactory : public IClassFactory {
  public:
    RefusingPlayerFactory() {
        CLSID player = {};
        CLSIDFromString(L"{6BF52A52-394A-11d3-B153-00C04F79FAA6}", &player);
        registered_ = SUCCEEDED(CoRegisterClassObject(player, this, CLSCTX_INPROC_SERVER,
                                                      REGCLS_MULTIPLEUSE, &cookie_));
    }
    ~RefusingPlayerFactory() {
        if (registered_)
            CoRevokeClassObject(cookie_);
    }
    bool Registered() const { return registered_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid != IID_IUnknown && iid != IID_IClassFactory) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    // Lives on the test's stack; COM's references do not decide its life.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID, void** object) override {
        *object = nullptr;
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

  private:
    DWORD cookie_ = 0;
    bool registered_ = false;
};

// Operations of a host without a control give their empty value: one of each kind of
// call (a text, a number and a yes/no of the player, a method and a property of a part).
TEST_F(MediaPlayerHostTest, HostWhoseControlCouldNotBeCreatedGivesEmptyValues) {
    RefusingPlayerFactory refusing;
    ASSERT_TRUE(refusing.Registered());
    MediaPlayerHost& host = NewHost();
    EXPECT_EQ(nullptr, host.Create(Parent(), 0, 0));
    EXPECT_TRUE(IsWindow(host.HostWindow())) << "the host window stays in place";
    EXPECT_TRUE(host.Control().IsEmpty());
    EXPECT_EQ(0, host.SetUrl(Text("C:\\clip.mp4")).Length());
    EXPECT_EQ(E_POINTER, host.Control().LastResult());
    EXPECT_EQ(0, host.PlayState());
    EXPECT_EQ(0, host.SetFullScreen(true));
    host.Play();
    EXPECT_EQ(0.0, host.SetCurrentPosition(12.5));
    EXPECT_EQ(0, host.GetItemInfo(Text("Title")).Length());
    EXPECT_EQ(0, host.SetVolume(50));
    EXPECT_EQ(0, host.SetMute(true));
    EXPECT_EQ(E_POINTER, host.Control().LastResult());
}

}  // namespace
