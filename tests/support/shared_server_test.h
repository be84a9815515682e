// Test suites that share one running zerva-server among their tests: it starts once per suite
// (with the demo data unless the suite asks otherwise), and every test begins with no faults and
// an empty request log. Client suites also get a fresh client side per test.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "net/http_connect.h"
#include "support/server_fixture.h"
#include "support/service_client.h"

namespace zerva::test {

class SharedServerTest : public ::testing::Test {
 protected:
  // A suite that wants a server without the demo data defines its own SetUpTestSuite calling
  // StartServer(false).
  static void SetUpTestSuite() { StartServer(true); }
  static void TearDownTestSuite();
  static void StartServer(bool seedDemo);
  void SetUp() override;
  void TearDown() override;

  static ServerFixture& Server() { return *server_; }

 private:
  static ServerFixture* server_;
  static std::string startError_;
};

class ServiceClientTest : public SharedServerTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  std::unique_ptr<ServiceClient> client_;
  std::unique_ptr<CHttpConnect> connection_;
};

}  // namespace zerva::test
