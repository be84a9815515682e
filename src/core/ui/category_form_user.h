// What a category's form takes from the application: the category and its form from the tree,
// the signed-in user's name and e-mail address, the current album's name and description, and
// the browser.
#pragma once

#include <string>

#include "ui/category_form.h"

namespace zerva {

class CUserSession;
class CzervaApp;

// The user's e-mail address: the login name when it is one (the profile carries no other).
std::string UserEmailAddress(const CUserSession& session);

CategoryFormContext CategoryFormContextFor(CzervaApp& app, int id, const std::string& startValues);

}  // namespace zerva
