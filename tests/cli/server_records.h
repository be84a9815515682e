// What zerva-server keeps in its database, read straight from the file of a running server: the
// mails it took with SendEmail and the address books they filled.
#pragma once

#include <string>
#include <vector>

#include "support/server_fixture.h"

namespace zerva::test {

struct StoredMail {
  std::string from;
  std::string to;
  std::string subject;
  std::string message;
};

// The mails of the account `userName`, oldest first.
std::vector<StoredMail> StoredMails(const ServerFixture& server, const std::string& userName);
// The addresses of the account's address book, in alphabetical order.
std::vector<std::string> StoredAddressBook(const ServerFixture& server,
                                           const std::string& userName);

}  // namespace zerva::test
