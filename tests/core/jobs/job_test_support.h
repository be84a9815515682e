// What the photo jobs' tests share: a window that records what jobs tell it, and a signed-in
// session with an album of its own on a running zerva-server.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/credentials.h"
#include "app/message_target.h"
#include "app/version.h"
#include "lang/text.h"
#include "net/http_mngr.h"
#include "session/user_session.h"
#include "support/shared_server_test.h"
#include "support/temp_dir.h"

namespace zerva::test {

class RecordingWindow : public MessageTarget {
 public:
  bool Post(WindowMessage message) override {
    std::lock_guard<std::mutex> lock(mutex_);
    posted_.push_back(message);
    return true;
  }
  MessageParam Send(WindowMessage message) override {
    std::lock_guard<std::mutex> lock(mutex_);
    sent_.push_back(message);
    return 0;
  }
  std::vector<WindowMessage> Sent(unsigned id) const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<WindowMessage> found;
    for (const WindowMessage& m : sent_) {
      if (m.id == id) found.push_back(m);
    }
    return found;
  }
  std::vector<MessageParam> PostedValues(unsigned id) const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<MessageParam> values;
    for (const WindowMessage& m : posted_) {
      if (m.id == id) values.push_back(m.wParam);
    }
    return values;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<WindowMessage> posted_;
  std::vector<WindowMessage> sent_;
};

class PhotoJobTest : public ServiceClientTest {
 protected:
  static void SetUpTestSuite() {
    StartServer(false);
    ASSERT_TRUE(Localization().LoadLocal());
  }
  void SetUp() override {
    ServiceClientTest::SetUp();
    ASSERT_GT(Server().CreateTestUser("j", &user_), 0);
    session_ = std::make_unique<CUserSession>();
    session_->SetConnection(connection_.get());
    ASSERT_FALSE(session_->LockLogin(user_));
    ASSERT_TRUE(session_->Login(user_, PasswordDigest("secret"))) << session_->LastError();
    const ApiResult created = connection_->CreateAlbum(user_, PasswordDigest("secret"), "Trip",
                                                       "<album><name>Trip</name></album>");
    ASSERT_TRUE(created.Ok()) << created.message;
    albumId_ = std::atoi(created.value.c_str());
    ASSERT_GT(albumId_, 0);
    manager_ = std::make_shared<CHttpMngr>();
    manager_->SetClientName(kProductName);
    manager_->SetClientVersion(kVersionText);
    manager_->SetSystemProxyLookup([](const std::string&, std::string* proxy, std::string* user) {
      proxy->clear();
      user->clear();
      return true;
    });
  }
  void TearDown() override {
    session_.reset();
    ServiceClientTest::TearDown();
  }

  std::string user_;
  int albumId_ = 0;
  std::unique_ptr<CUserSession> session_;
  std::shared_ptr<CHttpMngr> manager_;
  TempDir dir_;
};

}  // namespace zerva::test
