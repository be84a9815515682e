#include "ui/category_form_user.h"

#include "model/album.h"
#include "session/user_session.h"
#include "ui/zerva_app.h"

namespace zerva {

std::string UserEmailAddress(const CUserSession& session) {
  const std::string& login = session.LoginName();
  const size_t at = login.find('@');
  return at != std::string::npos && at > 0 && at + 1 < login.size() ? login : std::string();
}

CategoryFormContext CategoryFormContextFor(CzervaApp& app, int id, const std::string& startValues) {
  const CUserSession& session = app.Session();
  const CategoryForm form = session.Categories().GetCategoryForm(id);
  CategoryFormContext context;
  context.categoryId = id;
  context.categoryName = form.info != nullptr ? form.info->name : std::to_string(id);
  context.valueSet = startValues;
  context.info = form.info;
  context.items = form.items;
  context.userFullName = session.Details().fullName;
  context.userEmail = UserEmailAddress(session);
  context.albumName = app.CurrentAlbum().name;
  context.albumDesc = app.CurrentAlbum().desc;
  context.openUrl = [&app](const std::string& url) { app.OpenUrl(url); };
  return context;
}

}  // namespace zerva
