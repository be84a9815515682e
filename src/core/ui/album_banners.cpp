#include "ui/album_banners.h"

#include <FreeImagePlus.h>
#include <stdlib.h>
#include <strings.h>
#include <unistd.h>

#include "app/elements.h"
#include "net/api_result.h"
#include "net/http_connect.h"
#include "session/user_session.h"

namespace zerva {

bool IsWebLink(std::string_view link) {
  for (const std::string_view scheme : {"http://", "https://"}) {
    if (link.size() > scheme.size() &&
        ::strncasecmp(link.data(), scheme.data(), scheme.size()) == 0)
      return true;
  }
  return false;
}

std::vector<AlbumBanner> ListAlbumBanners(CHttpConnect& connection,
                                          const SessionCredentials& credentials, int albumId,
                                          std::string* error) {
  const ApiResult sent =
      connection.GetBanners(credentials.name, credentials.passwordDigest, albumId);
  const ApiResult answer = sent.Ok() ? ParseAnswer(sent.value) : sent;
  std::vector<AlbumBanner> banners;
  if (!answer.Ok()) {
    if (error != nullptr) {
      *error = answer.message.empty() ? "error " + answer.errorCode : answer.message;
    }
    return banners;
  }
  for (const std::string& file : GetElements(GetElement(answer.value, "files"), "file")) {
    AlbumBanner banner;
    banner.pictureUrl = GetElement(file, "url");
    banner.title = GetElement(file, "title");
    banner.link = GetElement(file, "name");
    if (!banner.pictureUrl.empty()) banners.push_back(std::move(banner));
  }
  return banners;
}

std::vector<AlbumBanner> LoadAlbumBanners(CHttpConnect& connection,
                                          const SessionCredentials& credentials, int albumId,
                                          const std::string& scratchFolder,
                                          std::atomic<bool>* cancel) {
  std::vector<AlbumBanner> loaded;
  for (AlbumBanner& banner : ListAlbumBanners(connection, credentials, albumId)) {
    if (cancel != nullptr && cancel->load()) break;
    std::string path = scratchFolder + "banner-XXXXXX";
    const int fd = ::mkstemp(path.data());
    if (fd < 0) continue;
    ::close(fd);
    if (connection.DownloadFile(banner.pictureUrl, path, cancel, "").Ok()) {
      auto picture = std::make_shared<fipImage>();
      if (picture->load(path.c_str())) {
        banner.picture = std::move(picture);
        loaded.push_back(std::move(banner));
      }
    }
    ::unlink(path.c_str());
  }
  return loaded;
}

}  // namespace zerva
