#include "ui/album_banners.h"

#include <FreeImagePlus.h>
#include <unistd.h>

#include "app/elements.h"
#include "net/api_result.h"
#include "net/http_connect.h"
#include "session/user_session.h"

namespace zerva {

std::vector<AlbumBanner> ListAlbumBanners(CHttpConnect& connection,
                                          const SessionCredentials& credentials, int albumId) {
  const ApiResult sent =
      connection.GetBanners(credentials.name, credentials.passwordDigest, albumId);
  const ApiResult answer = sent.Ok() ? ParseAnswer(sent.value) : sent;
  std::vector<AlbumBanner> banners;
  if (!answer.Ok()) return banners;
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
                                          const std::string& scratchFolder) {
  std::vector<AlbumBanner> loaded;
  int index = 0;
  for (AlbumBanner& banner : ListAlbumBanners(connection, credentials, albumId)) {
    const std::string path = scratchFolder + "banner-" + std::to_string(index++) + ".img";
    if (connection.DownloadFile(banner.pictureUrl, path, nullptr, "").Ok()) {
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
