// What zerva-server keeps in its database and tells no client, read straight from the file of a
// running server: the address books that mails filled.
#pragma once

#include <string>
#include <vector>

#include "support/server_fixture.h"

namespace zerva::test {

// The addresses of the account's address book, in alphabetical order.
std::vector<std::string> StoredAddressBook(const ServerFixture& server,
                                           const std::string& userName);

}  // namespace zerva::test
