#include "server/demo_seed.h"

#include "app/elements.h"
#include "platform/fs.h"
#include "platform/md5.h"
#include "server/accounts.h"
#include "server/album_store.h"
#include "server/clock.h"
#include "server/images.h"

namespace zerva::server {
namespace {

long long L(int64_t v) {
  return static_cast<long long>(v);
}

std::string Validator(const std::string& kind, const std::string& message,
                      const std::string& parameter = "", const std::string& value = "") {
  std::string content = MakeElement("message", message);
  if (!parameter.empty()) content += MakeElement(parameter, value);
  return MakeElement(kind, content);
}

std::string Item(const std::string& key, const std::string& type, const std::string& name,
                 const std::string& description, const std::string& properties,
                 const std::string& validators) {
  return MakeElement(
      "item", MakeElement("key", key) + MakeElement("type", type) + MakeElement("name", name) +
                  MakeElement("description", description) + MakeElement("properties", properties) +
                  MakeElement("validators", validators));
}

// The flood report form of category 105: every item type and every validator kind.
std::string FloodForm() {
  return Item("location", "string", "Place", "Town or village hit by the flood",
              MakeElement("groupName", "Event"),
              Validator("requireValidator", "Enter the place") +
                  Validator("maxLengthValidator", "The place is at most 60 letters long",
                            "maxLength", "60")) +
         Item("desc", "string", "What happened", "A few sentences about the event",
              MakeElement("groupName", "Event") + MakeElement("multiline", "1"),
              Validator("minLengthValidator", "Write at least 10 letters", "minLength", "10")) +
         Item("waterLevel", "int", "Water level (cm)", "Highest level above normal",
              MakeElement("groupName", "Event"),
              Validator("regexValidator", "Digits only", "regex", "^\\d+$") +
                  Validator("minValueValidator", "The level cannot be negative", "minValue", "0") +
                  Validator("maxValueValidator", "At most 2000 cm", "maxValue", "2000")) +
         Item("region", "select", "Region", "",
              MakeElement("groupName", "Event") +
                  MakeElement("items", MakeElement("item", "South Moravia") +
                                           MakeElement("item", "Vysocina") +
                                           MakeElement("item", "Olomouc")),
              Validator("requireValidator", "Choose the region")) +
         Item("date", "dateTime", "Date", "", MakeElement("groupName", "Event"),
              Validator("minValueValidator", "No earlier than 1990", "minValue", "1990") +
                  Validator("maxValueValidator", "No later than 2100", "maxValue", "2100")) +
         Item("author", "string", "Author", "", MakeElement("groupName", "Author"),
              Validator("requireValidator", "Enter your name")) +
         Item("email", "string", "E-mail", "", MakeElement("groupName", "Author"),
              Validator("regexValidator", "Enter an e-mail address", "regex", "^.+@.+\\..+$")) +
         Item("agree", "bool", "The photos may be published", "",
              MakeElement("groupName", "Author") + MakeElement("initialValue", "true"),
              Validator("requireValidator", "Please agree"));
}

bool SeedCategories(Db& db) {
  struct Row {
    int id, parent, partner, needInfo, original, hires, readOnly;
    const char* name;
    std::string info, sub, url, caption, description;
  };
  const std::vector<Row> rows = {
      {1, 0, 0, 0, 0, 0, 0, "Family", "", "", "", "", ""},
      {2, 0, 0, 0, 0, 0, 0, "Travel", "", "", "", "", ""},
      {21, 2, 0, 0, 0, 0, 0, "Mountains", "", "", "", "", ""},
      {22, 2, 0, 0, 0, 0, 0, "Sea_and_coast", "", "", "", "", ""},
      {3, 0, 0, 0, 0, 0, 0, "Nature", "", "", "", "", ""},
      {31, 3, 0, 0, 0, 0, 0, "Flowers", "", "", "", "", ""},
      {32, 3, 0, 0, 0, 0, 0, "Animals", "", "", "", "", ""},
      {4, 0, 0, 1, 0, 0, 0, "Photo_competition", "", "", "https://example.com/competition",
       "Competition rules", "Read the rules before you enter"},
      {41, 4, 0, 0, 0, 0, 0, "Competition_entries", "", "", "", "", ""},
      {105, 0, 0, 1, 0, 0, 0, "Floods", FloodForm(),
       MakeElement("subCategory", "Rivers") + MakeElement("subCategory", "Towns") +
           MakeElement("subCategory", "Help and volunteers"),
       "https://example.com/floods", "About the flood gallery", "Photos of floods and the help"},
      {6, 0, 0, 0, 1, 0, 0, "Architecture_HD", "", "", "", "", ""},
      {7, 0, 0, 0, 0, 1, 0, "Fine_art", "", "", "", "", ""},
      {8, 0, 0, 0, 0, 0, 1, "Staff_picks", "", "", "", "", ""},
      {81, 8, 0, 0, 0, 0, 1, "Picks_of_the_week", "", "", "", "", ""},
      {9, 0, 1, 0, 0, 0, 0, "Fotolab_specials", "", "", "https://example.com/fotolab", "Fotolab",
       "Prints from your albums"},
  };
  int sort = 0;
  for (const Row& r : rows) {
    if (!db.Exec("INSERT OR REPLACE INTO categories(id, parent_id, partner_id, need_info, "
                 "additional_info, send_original, send_hires, sub_categories, url, caption, "
                 "description, read_only, name, sort) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
                 "?, ?, ?)",
                 {r.id, r.parent, r.partner, r.needInfo, r.info, r.original, r.hires, r.sub, r.url,
                  r.caption, r.description, r.readOnly, r.name, sort += 10}))
      return false;
  }
  return true;
}

bool SeedPartnersBannersInfo(Service& service) {
  Db& db = service.db();
  const Storage& storage = service.storage();
  bool ok = db.Exec(
                "INSERT OR REPLACE INTO partners(id, name, description, url, flag) VALUES "
                "(1, 'Fotolab', 'Prints and photo books', 'https://example.com/fotolab', 0),"
                "(2, 'PrintShop', 'Posters and canvas', 'https://example.com/printshop', 1)") &&
            db.Exec(
                "INSERT OR REPLACE INTO banners(id, title, link) VALUES "
                "(1, 'Order prints of this album', 'https://example.com/fotolab/order'),"
                "(2, 'Make a photo book', 'https://example.com/printshop/book')") &&
            db.Exec(
                "INSERT OR REPLACE INTO info(lang, url, caption, description, interval) VALUES "
                "(0, 'https://example.com/news', 'Welcome to zerva', "
                "'Your albums live on the local zerva service.', 30)");
  for (int i = 1; ok && i <= 2; ++i) {
    const std::string logo = storage.MediaFile("partner-" + std::to_string(i) + ".jpg");
    const std::string banner = storage.MediaFile("banner-" + std::to_string(i) + ".jpg");
    if (!FileExists(logo)) ok = DrawBadge(logo, 50, 15, i);
    if (ok && !FileExists(banner)) ok = DrawBadge(banner, 468, 60, i + 2);
  }
  const std::string watermark = storage.MediaFile("watermark.png");
  if (ok && !FileExists(watermark)) ok = DrawWatermarkTemplate(watermark, 160, 60);
  return ok;
}

int64_t SeedUser(Db& db, const std::string& name, const std::string& password, int type,
                 const std::string& fullName) {
  if (std::optional<User> u = FindUserByName(db, name)) return u->id;
  NewUser user;
  user.name = name;
  user.email = name + "@zerva.localhost";
  user.passMd5 = Md5Hex(password);
  user.userType = type;
  user.fullName = fullName;
  return CreateUserRecord(db, user);
}

struct DemoPhoto {
  const char* name;
  const char* desc;
  double lon, lat;
};

bool SeedAlbum(Service& service, int64_t userId, const std::string& serverDir,
               const std::string& name, const std::string& desc, const std::string& category,
               const std::string& day, const std::vector<DemoPhoto>& photos, int variant) {
  Db& db = service.db();
  const Storage& storage = service.storage();
  if (FindAlbumByDir(db, userId, serverDir)) return true;
  const std::string settings =
      "\t<albumID>0</albumID>\t<name>" + name + "</name>\t<desc>" + desc +
      "</desc>\t<create></create>\t<expiration></expiration>\t<autorID></autorID>\t<size></size>"
      "\t<localPath></localPath>\t<photoCount>" +
      std::to_string(photos.size()) + "</photoCount>\t<serverDir>" + serverDir +
      "</serverDir>\t<maxSizeImage>1200</maxSizeImage>\t<maxSizeThumb>100</maxSizeThumb>"
      "\t<albumVisible>1</albumVisible>\t<albumSecure>0</albumSecure>\t<albumSecureName>"
      "</albumSecureName>\t<albumSecurePass></albumSecurePass>\t<thumbName>" +
      serverDir.substr(0, 3) +
      "_1.jpg</thumbName>\t<photosUrl></photosUrl>\t<videosUrl>"
      "</videosUrl>\t<albumCategory>" +
      category +
      "</albumCategory>\t<albumTags></albumTags>"
      "\t<manualDateInterval>0</manualDateInterval>\t<startDateInterval>" +
      day + " 08:00:00</startDateInterval>\t<endDateInterval>" + day +
      " 19:00:00</endDateInterval>\t<defaultWatermark>0</defaultWatermark>";
  const std::string now = NowText();
  if (!db.Exec("INSERT INTO albums(user_id, server_dir, settings, uploading, create_date, "
               "update_date) VALUES(?, ?, ?, 0, ?, ?)",
               {L(userId), serverDir, settings, now, now}))
    return false;
  const int64_t albumId = db.LastInsertId();
  for (size_t i = 0; i < photos.size(); ++i) {
    const std::string file = serverDir.substr(0, 3) + "_" + std::to_string(i + 1) + ".jpg";
    const std::string image = storage.AlbumFile(userId, serverDir, "images", file);
    const std::string thumb = storage.AlbumFile(userId, serverDir, "thumb", file);
    if (!CreateDirectoryPath(storage.AlbumFolder(userId, serverDir) + "images") ||
        !CreateDirectoryPath(storage.AlbumFolder(userId, serverDir) + "thumb") ||
        !DrawDemoPhoto(image, 960, 640, variant + static_cast<int>(i)) ||
        !SaveFitted(image, thumb, 100, 85))
      return false;
    const int64_t size = FileSize(image) + FileSize(thumb);
    char gps[64];
    std::snprintf(gps, sizeof gps, "POINT(%.7f %.7f)", photos[i].lon, photos[i].lat);
    const std::string xml =
        "\t<photoID>-1</photoID>\t<name>" + std::string(photos[i].name) + "</name>\t<desc>" +
        photos[i].desc + "</desc>\t<fileName>" + file +
        "</fileName>\t<autorID></autorID>"
        "\t<fileSize>" +
        std::to_string(size) + "</fileSize>\t<fileSizeOriginal>" + std::to_string(FileSize(image)) +
        "</fileSizeOriginal>\t<width>960</width>\t<height>640"
        "</height>\t<index>" +
        std::to_string(i + 1) +
        "</index>\t<exif><CameraModel>zerva demo"
        "</CameraModel><DateTime>" +
        day + " " + std::to_string(10 + i % 9) + ":15:00</DateTime></exif>\t<GPS>" + gps +
        "</GPS>\t<public>1</public>\t<rotate>0</rotate>"
        "\t<OriginalCode>0</OriginalCode>\t<fileFullName></fileFullName>\t<type>photo</type>"
        "\t<isVideo>0</isVideo>\t<isHdPhoto>0</isHdPhoto>\t<hasWatermark>0</hasWatermark>";
    if (UpsertPhoto(db, albumId, file, xml) <= 0) return false;
  }
  return true;
}

}  // namespace

bool SeedDemo(Service& service, std::string* error) {
  Db& db = service.db();
  auto lock = db.Lock();
  Transaction tx(db);
  const int64_t demo = SeedUser(db, "demo", "demo", 1, "Demo User");
  const int64_t vip = SeedUser(db, "vip", "vip", kVipUserType, "VIP User");
  bool ok =
      tx.ok() && demo > 0 && vip > 0 && SeedCategories(db) && SeedPartnersBannersInfo(service);
  ok = ok && SeedAlbum(service, demo, "Summer_in_the_mountains", "Summer in the mountains",
                       "A week of hiking above the clouds.<br>Photos of the demo account.", "21",
                       "2024-07-14",
                       {{"Morning at the hut", "The sun comes up behind the ridge", 19.93, 49.23},
                        {"Valley", "", 19.95, 49.21},
                        {"Lake", "Still water before the storm", 20.07, 49.19},
                        {"Ridge walk", "", 20.01, 49.18},
                        {"Evening light", "", 19.98, 49.22},
                        {"Camp", "Tents by the stream", 19.9, 49.25},
                        {"Summit", "2499 m", 20.08, 49.17},
                        {"Way down", "", 19.97, 49.27}},
                       0);
  ok = ok && SeedAlbum(service, demo, "By_the_sea", "By the sea", "Waves, sand and sunsets.", "22",
                       "2024-08-02",
                       {{"Beach", "", 15.95, 43.5},
                        {"Harbour", "Fishing boats", 15.96, 43.51},
                        {"Sunset", "", 15.94, 43.52},
                        {"Island", "", 15.9, 43.49}},
                       2);
  if (!ok || !tx.Commit()) {
    *error = "cannot seed the demo data: " + db.LastError();
    return false;
  }
  return true;
}

}  // namespace zerva::server
