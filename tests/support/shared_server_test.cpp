#include "support/shared_server_test.h"

namespace zerva::test {

ServerFixture* SharedServerTest::server_ = nullptr;
std::string SharedServerTest::startError_;

void SharedServerTest::StartServer(bool seedDemo) {
  ServerFixture::Options options;
  options.seedDemo = seedDemo;
  server_ = new ServerFixture(options);
  // Not asserted here: GoogleTest reports the tests of a suite whose set-up failed as skipped,
  // and ctest would count them so. Every test fails on it in SetUp instead.
  startError_.clear();
  if (!server_->Start(&startError_) && startError_.empty())
    startError_ = "zerva-server did not start";
}

void SharedServerTest::TearDownTestSuite() {
  delete server_;
  server_ = nullptr;
}

void SharedServerTest::SetUp() {
  ASSERT_NE(server_, nullptr);
  ASSERT_TRUE(server_->Running()) << startError_;
  server_->ClearFaults();
  server_->ClearLog();
}

void SharedServerTest::TearDown() {
  if (server_ != nullptr) server_->ClearFaults();
}

void ServiceClientTest::SetUp() {
  SharedServerTest::SetUp();
  client_ = std::make_unique<ServiceClient>(Server());
  connection_ = client_->Connect();
}

void ServiceClientTest::TearDown() {
  connection_.reset();
  client_.reset();
  SharedServerTest::TearDown();
}

}  // namespace zerva::test
