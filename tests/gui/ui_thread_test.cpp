// The workers' one road to the UI thread: order, receivers that close, the teardown, and
// the one request a worker waits for.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "app/base/ui_thread.h"
#include "tests/support/wait.h"

namespace {

class UiThreadTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(StartUiTasks()); }
    void TearDown() override { StopUiTasks(); }

    std::vector<int> ran_;
};

}  // namespace

TEST_F(UiThreadTest, TasksRunInTheOrderPostedAndNotOnceTheirReceiverIsClosed) {
    UiReceiver receiver;
    std::vector<bool> accepted;
    std::thread worker([&, route = receiver.Route()] {
        for (int i = 0; i < 500; ++i)
            route.Post([this, i] { ran_.push_back(i); });
    });
    worker.join();
    ASSERT_TRUE(WaitUntil([&] { return ran_.size() == 500; }));
    for (int i = 0; i < 500; ++i)
        ASSERT_EQ(i, ran_[i]);

    // Posted while open, closed before the UI thread looked: never runs. After the close
    // the worker is told, so it can stop.
    const UiRoute route = receiver.Route();
    EXPECT_TRUE(route.Post([this] { ran_.push_back(-1); }));
    receiver.Reopen();
    EXPECT_FALSE(route.Open());
    EXPECT_FALSE(route.Post([this] { ran_.push_back(-2); }));
    EXPECT_TRUE(receiver.Route().Post([this] { ran_.push_back(500); }));
    ASSERT_TRUE(WaitUntil([&] { return ran_.size() == 501; }));
    EXPECT_EQ(500, ran_.back());
}

TEST_F(UiThreadTest, ATaskWaitingInAMessageLoopDoesNotHoldUpTheTasksBehindIt) {
    // As a message box does: the first task runs a loop of its own until the second has run.
    bool secondRan = false;
    bool secondRanInsideFirst = false;
    PostToUi([&] { secondRanInsideFirst = WaitUntil([&] { return secondRan; }); });
    PostToUi([&] { secondRan = true; });
    ASSERT_TRUE(WaitUntil([&] { return secondRan; }));
    EXPECT_TRUE(secondRanInsideFirst);
}

TEST_F(UiThreadTest, AfterTheTeardownNoTaskRunsAndPostsAreRefused) {
    const UiReceiver receiver;
    ASSERT_TRUE(PostToUi([this] { ran_.push_back(1); }));
    ASSERT_TRUE(receiver.Route().Post([this] { ran_.push_back(2); }));
    StopUiTasks();
    EXPECT_FALSE(PostToUi([this] { ran_.push_back(3); }));
    EXPECT_FALSE(receiver.Route().Post([this] { ran_.push_back(4); }));
    EXPECT_FALSE(receiver.Route().Send([this] { ran_.push_back(5); }, 1000));
    PumpMessages();
    EXPECT_EQ(std::vector<int>{}, ran_);
}

TEST_F(UiThreadTest, ASentTaskIsAnsweredWhileTheUiThreadWaitsForTheWorker) {
    UiReceiver receiver;
    const HANDLE sent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    bool answered = false;
    bool refused = false;
    std::thread worker([&, route = receiver.Route()] {
        answered = route.Send([this] { ran_.push_back(1); }, 10000);
        SetEvent(sent);
        // Closed meanwhile (below): the worker hears so, and nothing more runs.
        while (route.Open())
            Sleep(1);
        refused = !route.Send([this] { ran_.push_back(2); }, 10000);
    });
    // Waits as OperationQueue::StopAndWait does: only sent messages are handled.
    while (MsgWaitForMultipleObjects(1, &sent, FALSE, INFINITE, QS_SENDMESSAGE) ==
           WAIT_OBJECT_0 + 1) {
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    receiver.Close();
    worker.join();
    CloseHandle(sent);
    EXPECT_TRUE(answered);
    EXPECT_TRUE(refused);
    EXPECT_EQ(std::vector<int>{1}, ran_);
}
