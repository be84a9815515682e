#include "support/shared_server_test.h"

namespace zerva::test {

ServerFixture* SharedServerTest::server_ = nullptr;

void SharedServerTest::StartServer(bool seedDemo) {
  ServerFixture::Options options;
  options.seedDemo = seedDemo;
  server_ = new ServerFixture(options);
  std::string error;
  ASSERT_TRUE(server_->Start(&error)) << error;
}

void SharedServerTest::TearDownTestSuite() {
  delete server_;
  server_ = nullptr;
}

void SharedServerTest::SetUp() {
  ASSERT_NE(server_, nullptr);
  ASSERT_TRUE(server_->Running());
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
