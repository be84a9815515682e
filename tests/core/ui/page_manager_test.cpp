// The wizard's moves: the Next and Back tables, jumps by name, and what a page that refuses to
// be left keeps unchanged.
#include "ui/page_manager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/ui/app_fixture.h"
#include "core/ui/page_fakes.h"

namespace zerva::test {
namespace {

// A page that records what the manager asks it and answers as told.
class StubPage : public CZervaDialog {
 public:
  StubPage(CzervaDlg& window, PageId id, PageView& view, std::vector<std::string>& log)
      : CZervaDialog(window, id, view), log_(log) {}

  void UpdateTexts() override { log_.push_back(std::string(Name()) + ".UpdateTexts"); }
  void OnShowPage(bool cameBack) override {
    log_.push_back(std::string(Name()) + (cameBack ? ".OnShowPage(back)" : ".OnShowPage"));
    if (onShow) onShow();
  }
  bool CanLeave(const std::string& target) override {
    log_.push_back(std::string(Name()) + ".CanLeave(" + target + ")");
    return canLeave;
  }
  bool OnNext() override {
    log_.push_back(std::string(Name()) + ".OnNext");
    return onNext;
  }
  bool OnBack() override {
    log_.push_back(std::string(Name()) + ".OnBack");
    return onBack;
  }

  bool canLeave = true;
  bool onNext = true;
  bool onBack = true;
  std::function<void()> onShow;

 private:
  std::vector<std::string>& log_;
};

class PageManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app_ = std::make_unique<CzervaApp>(frontEnd_);
    window_ = std::make_unique<CzervaDlg>(*app_, main_);
    CPageManager::Hooks hooks;
    hooks.showPage = [this](PageId page, bool shown) {
      log_.push_back(std::string(shown ? "show " : "hide ") + PageName(page));
    };
    hooks.albumListEmpty = [this] { return albumListEmpty_; };
    hooks.refreshLogo = [this] { log_.push_back("logo"); };
    manager_ = std::make_unique<CPageManager>(std::move(hooks));
    for (int i = 0; i < kPageCount; ++i) {
      auto page = std::make_unique<StubPage>(*window_, PageId(i), views_[i], log_);
      pages_[i] = page.get();
      manager_->Add(std::move(page));
    }
  }

  StubPage& Stub(PageId id) { return *pages_[static_cast<int>(id)]; }
  // Puts `id` on the screen with a jump and forgets the log.
  void Show(PageId id) {
    ASSERT_TRUE(manager_->GoTo(PageName(id), nullptr));
    log_.clear();
  }

  FakeFrontEnd frontEnd_;
  std::unique_ptr<CzervaApp> app_;
  FakeMainView main_{*frontEnd_.dialogs};
  std::unique_ptr<CzervaDlg> window_;
  FakePageView views_[kPageCount];
  std::unique_ptr<CPageManager> manager_;
  StubPage* pages_[kPageCount] = {};
  std::vector<std::string> log_;
  bool albumListEmpty_ = false;
};

TEST_F(PageManagerTest, FirstNextShowsTheLoginPageWithTextsBeforeShowing) {
  EXPECT_EQ(manager_->CurrentName(), "");
  EXPECT_FALSE(manager_->Back());
  ASSERT_TRUE(manager_->Next(nullptr));
  EXPECT_EQ(manager_->CurrentName(), kLoginPage);
  EXPECT_EQ(log_, (std::vector<std::string>{"CLoginDlg.UpdateTexts", "show CLoginDlg",
                                            "CLoginDlg.OnShowPage"}));
}

TEST_F(PageManagerTest, NextFromLoginGoesToAlbumsOrToTheEditorWhenThereAreNone) {
  Show(PageId::kLogin);
  ASSERT_TRUE(manager_->Next(nullptr));
  EXPECT_EQ(manager_->CurrentName(), kAlbumsPage);
  // The logo is refreshed before the login page is asked anything.
  ASSERT_FALSE(log_.empty());
  EXPECT_EQ(log_.front(), "logo");

  albumListEmpty_ = true;
  Show(PageId::kLogin);
  ASSERT_TRUE(manager_->Next(nullptr));
  EXPECT_EQ(manager_->CurrentName(), kEditPhotosPage);
}

TEST_F(PageManagerTest, NextTable) {
  const std::pair<PageId, const char*> table[] = {
      {PageId::kAlbums, kEditPhotosPage},     {PageId::kEditPhotos, kCopyPage},
      {PageId::kPhotoDetail, kCopyPage},      {PageId::kCopy, kPostCopyPage},
      {PageId::kEditUserDetail, kAlbumsPage}, {PageId::kSendEmail, kAlbumsPage},
  };
  for (const auto& [from, target] : table) {
    Show(from);
    EXPECT_TRUE(manager_->Next(nullptr)) << PageName(from);
    EXPECT_EQ(manager_->CurrentName(), target) << PageName(from);
    EXPECT_FALSE(manager_->LastMoveWasBack());
    EXPECT_EQ(log_.front(), std::string(PageName(from)) + ".OnNext");
  }
}

TEST_F(PageManagerTest, BackTable) {
  const std::pair<PageId, const char*> table[] = {
      {PageId::kEditPhotos, kAlbumsPage},     {PageId::kPhotoDetail, kEditPhotosPage},
      {PageId::kEditUserDetail, kAlbumsPage}, {PageId::kSendEmail, kAlbumsPage},
      {PageId::kPostCopy, kAlbumsPage},       {PageId::kLogin, kCreateAccountPage},
      {PageId::kCreateAccount, kLoginPage},
  };
  for (const auto& [from, target] : table) {
    Show(from);
    EXPECT_TRUE(manager_->Back()) << PageName(from);
    EXPECT_EQ(manager_->CurrentName(), target) << PageName(from);
    EXPECT_TRUE(manager_->LastMoveWasBack());
    EXPECT_EQ(log_.front(), std::string(PageName(from)) + ".OnBack");
    EXPECT_EQ(log_.back(), std::string(target) + ".OnShowPage(back)");
  }
}

TEST_F(PageManagerTest, PagesWithoutAMoveStayPut) {
  Show(PageId::kAlbums);
  EXPECT_FALSE(manager_->Back());
  EXPECT_EQ(manager_->CurrentName(), kAlbumsPage);
  for (const PageId page : {PageId::kPostCopy, PageId::kCreateAccount}) {
    Show(page);
    EXPECT_FALSE(manager_->Next(nullptr));
    EXPECT_EQ(manager_->CurrentName(), PageName(page));
    EXPECT_TRUE(log_.empty()) << "the page was asked although nothing moves";
  }
}

TEST_F(PageManagerTest, BackFromTheUploadPageIsAJumpThatDoesNotAskIt) {
  Show(PageId::kCopy);
  Stub(PageId::kCopy).onBack = false;  // would refuse if it were asked
  ASSERT_TRUE(manager_->Back());
  EXPECT_EQ(manager_->CurrentName(), kEditPhotosPage);
  EXPECT_TRUE(manager_->LastMoveWasBack());
  EXPECT_EQ(log_, (std::vector<std::string>{"CCopyDlg.CanLeave(CEditPhotosDlg)", "hide CCopyDlg",
                                            "CEditPhotosDlg.UpdateTexts", "show CEditPhotosDlg",
                                            "CEditPhotosDlg.OnShowPage"}));
}

TEST_F(PageManagerTest, EmailPageReturnsWhereItCameFrom) {
  StubPage* postCopy = &Stub(PageId::kPostCopy);
  Show(PageId::kPostCopy);
  ASSERT_TRUE(manager_->GoTo(kSendEmailPage, postCopy));
  EXPECT_EQ(manager_->From(), postCopy);
  ASSERT_TRUE(manager_->Next(nullptr));
  EXPECT_EQ(manager_->CurrentName(), kPostCopyPage);
  EXPECT_EQ(manager_->From(), nullptr);

  ASSERT_TRUE(manager_->GoTo(kSendEmailPage, postCopy));
  ASSERT_TRUE(manager_->Back());
  EXPECT_EQ(manager_->CurrentName(), kPostCopyPage);

  // Opened from the albums page, both moves lead there.
  Show(PageId::kAlbums);
  ASSERT_TRUE(manager_->GoTo(kSendEmailPage, &Stub(PageId::kAlbums)));
  ASSERT_TRUE(manager_->Next(nullptr));
  EXPECT_EQ(manager_->CurrentName(), kAlbumsPage);
  ASSERT_TRUE(manager_->GoTo(kSendEmailPage, &Stub(PageId::kAlbums)));
  ASSERT_TRUE(manager_->Back());
  EXPECT_EQ(manager_->CurrentName(), kAlbumsPage);
}

TEST_F(PageManagerTest, ARefusalKeepsThePageAndAsksNoFurther) {
  Show(PageId::kEditUserDetail);
  Stub(PageId::kEditUserDetail).onNext = false;
  EXPECT_FALSE(manager_->Next(nullptr));
  EXPECT_EQ(manager_->CurrentName(), kEditUserDetailPage);
  EXPECT_EQ(log_, std::vector<std::string>{"CEditUserDetailDlg.OnNext"});

  log_.clear();
  Stub(PageId::kEditUserDetail).onNext = true;
  Stub(PageId::kEditUserDetail).canLeave = false;
  EXPECT_FALSE(manager_->Next(nullptr));
  EXPECT_EQ(manager_->CurrentName(), kEditUserDetailPage);
  EXPECT_EQ(log_, (std::vector<std::string>{"CEditUserDetailDlg.OnNext",
                                            "CEditUserDetailDlg.CanLeave(AlbumsDlg)"}));
}

TEST_F(PageManagerTest, GoToAsksOnlyCanLeaveAndRecordsItsArgument) {
  Show(PageId::kAlbums);
  const int marker = 0;
  ASSERT_TRUE(manager_->GoTo(kEditUserDetailPage, &marker));
  EXPECT_EQ(manager_->From(), &marker);
  EXPECT_EQ(log_.front(), "AlbumsDlg.CanLeave(CEditUserDetailDlg)");
  EXPECT_EQ(log_.back(), "CEditUserDetailDlg.OnShowPage");

  log_.clear();
  EXPECT_FALSE(manager_->GoTo("CNoSuchDlg", nullptr));
  EXPECT_TRUE(log_.empty());
  EXPECT_EQ(manager_->CurrentName(), kEditUserDetailPage);
}

TEST_F(PageManagerTest, LoginWithAnArgumentIsReachedAsABackMove) {
  Show(PageId::kAlbums);
  const int userBar = 0;
  ASSERT_TRUE(manager_->GoTo(kLoginPage, &userBar));
  EXPECT_EQ(log_.front(), "AlbumsDlg.OnBack");
  EXPECT_EQ(log_.back(), "CLoginDlg.OnShowPage(back)");
  EXPECT_EQ(manager_->From(), nullptr);

  Show(PageId::kAlbums);
  Stub(PageId::kAlbums).onBack = false;
  EXPECT_FALSE(manager_->GoTo(kLoginPage, &userBar));
  EXPECT_EQ(manager_->CurrentName(), kAlbumsPage);
  // Without an argument it is a plain jump.
  ASSERT_TRUE(manager_->GoTo(kLoginPage, nullptr));
  EXPECT_EQ(log_.back(), "CLoginDlg.OnShowPage");
}

TEST_F(PageManagerTest, APageThatMovesOnWhileShownKeepsItsOwnMove) {
  Show(PageId::kAlbums);
  StubPage& login = Stub(PageId::kLogin);
  login.onShow = [&] {
    login.onShow = nullptr;
    manager_->Next(&login);
  };
  const int userBar = 0;
  ASSERT_TRUE(manager_->GoTo(kLoginPage, &userBar));
  EXPECT_EQ(manager_->CurrentName(), kAlbumsPage);
  EXPECT_EQ(manager_->From(), &login);
}

}  // namespace
}  // namespace zerva::test
