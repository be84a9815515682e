// The album and photo vocabulary the service answers with (album list, album photos).
#pragma once

#include <string>

#include "server/album_store.h"
#include "server/service.h"

namespace zerva::server {

// One <album> element of the album list: the settings the client stored, with the service's
// own values (identifier, directory, addresses, counts, size, dates, uploading mark).
std::string AlbumElement(Service& service, const std::string& ownerName, const Album& album);
// One <photo> element of the album's photos, carrying the service's photo identifier.
std::string PhotoElement(const PhotoRecord& photo);
// `xml` with the content of its first <name> element replaced (no nesting); a missing element
// is put in front.
std::string SetElementContent(const std::string& xml, const std::string& name,
                              const std::string& content);

}  // namespace zerva::server
