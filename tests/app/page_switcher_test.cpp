// The main window's views and how they change, followed without any window:
// each page is a stand-in that writes what is done to it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/page_switcher.h"

namespace {

class LoggedPage : public SwitchedPage {
public:
    LoggedPage(std::string name, std::vector<std::string>& log)
        : name_(std::move(name)), log_(log) {}
    HWND PageHandle() const override {
        return reinterpret_cast<HWND>(const_cast<LoggedPage*>(this));
    }
    void OpenWith(int view, const PackageRecord* record) override {
        log_.push_back(name_ + " opens " + std::to_string(view) +
                       (record != nullptr ? " " + std::to_string(record->id) : ""));
    }
    void SlideIn() override { log_.push_back(name_ + " in"); }
    void Leave() override { log_.push_back(name_ + " leaves"); }
    void LayOut(const RECT&) override {}
    void ScaleChanged(UINT) override {}
    void AppendFocusStops(std::vector<FocusStop>&) const override {}

private:
    std::string name_;
    std::vector<std::string>& log_;
};

struct Switcher {
    explicit Switcher(BYTE firstPay) : firstPayPage(firstPay) {}
    std::vector<std::string> Take() { return std::exchange(log, {}); }

    BYTE firstPayPage;
    std::vector<std::string> log;
    LoggedPage pay1{"pay1", log};
    LoggedPage history{"history", log};
    LoggedPage pay2{"pay2", log};
    PageSwitcher pages{
        firstPayPage,
        {{View::PayPage1, &pay1}, {View::History, &history}, {View::PayPage2, &pay2}},
        [this](bool show) { log.push_back(show ? "front shows" : "front hides"); }};
};

using Log = std::vector<std::string>;

}  // namespace

// Store front, history, a paid order arriving there, back: each step names
// the view it leaves the window in, and moves only the pages it must.
TEST(PageSwitcher, FollowsTheViewsAUserWalksThrough) {
    Switcher s(1);
    EXPECT_EQ(View::StoreFront, s.pages.view());
    EXPECT_EQ(nullptr, s.pages.Current());

    s.pages.OpenHistory();
    EXPECT_EQ(View::History, s.pages.view());
    EXPECT_EQ(&s.history, s.pages.Current());
    EXPECT_EQ((Log{"front hides", "history opens 0", "history in"}), s.Take());

    // A payment confirmed while the history shows: its page comes forward.
    EXPECT_TRUE(s.pages.BringPaidPageForward(View::PayPage1));
    EXPECT_EQ(View::PayPage1, s.pages.view());
    EXPECT_EQ((Log{"front hides", "history leaves", "pay1 in"}), s.Take());
    // Reported again while in view: nothing moves.
    EXPECT_FALSE(s.pages.BringPaidPageForward(View::PayPage1));
    EXPECT_TRUE(s.Take().empty());

    View view = View::StoreFront;
    ASSERT_TRUE(s.pages.ViewOfHandle(s.pay1.PageHandle(), view));
    EXPECT_EQ(View::PayPage1, view);
    EXPECT_FALSE(s.pages.ViewOfHandle(nullptr, view));

    s.pages.BackToStoreFront();
    EXPECT_EQ(View::StoreFront, s.pages.view());
    EXPECT_FALSE(s.pages.Shown(View::PayPage1));
    EXPECT_EQ((Log{"pay1 leaves", "front shows"}), s.Take());

    // A paid report on the store front slides its page in.
    EXPECT_TRUE(s.pages.BringPaidPageForward(View::PayPage1));
    EXPECT_EQ((Log{"front hides", "pay1 in"}), s.Take());
    // My orders from the payment page: the page above the history goes.
    s.pages.OpenHistory();
    EXPECT_EQ((Log{"front hides", "pay1 leaves", "history opens 0", "history in"}), s.Take());
}

// The page with a selector lies beneath the history: it stays there while
// the history shows, comes back without sliding when its payment is
// reported, and an order opened from the history reaches it.
TEST(PageSwitcher, KeepsTheSelectorPageBeneathTheHistory) {
    Switcher s(0);
    PackageRecord record;
    record.id = 7;
    s.pages.OpenOrder(1, record);
    EXPECT_EQ(View::PayPage2, s.pages.view());
    EXPECT_EQ((Log{"front hides", "pay2 opens 1 7", "pay2 in"}), s.Take());

    s.pages.OpenHistory();
    EXPECT_TRUE(s.pages.Shown(View::PayPage2));
    EXPECT_EQ((Log{"front hides", "history opens 0", "history in"}), s.Take());

    EXPECT_TRUE(s.pages.BringPaidPageForward(View::PayPage2));
    EXPECT_EQ(View::PayPage2, s.pages.view());
    EXPECT_EQ((Log{"front hides", "history leaves"}), s.Take());

    s.pages.OpenHistory();
    s.Take();
    s.pages.OpenOrderFromHistory(record);
    EXPECT_EQ(View::PayPage2, s.pages.view());
    EXPECT_EQ((Log{"front hides", "history leaves", "front hides", "pay2 opens 3 7", "pay2 in"}),
              s.Take());

    // Back from the history: the page beneath goes first, then the history.
    s.pages.OpenHistory();
    s.Take();
    s.pages.BackToStoreFront();
    EXPECT_EQ((Log{"pay2 leaves", "history leaves", "front shows"}), s.Take());
    EXPECT_FALSE(s.pages.Shown(View::History));
}
