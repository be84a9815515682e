#include "server/mail_record.h"

#include "server/form_parser.h"

namespace zerva::server {
namespace {

bool EndsAddressPath(char c) {
  return c == '/' || c == '?' || c == '#' || c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool HoldsPath(std::string_view text, const std::string& path) {
  for (size_t at = text.find(path); at != std::string_view::npos; at = text.find(path, at + 1)) {
    const size_t end = at + path.size();
    if (end == text.size() || EndsAddressPath(text[end])) return true;
  }
  return false;
}

}  // namespace

int64_t AlbumNamedInText(Db& db, int64_t userId, std::string_view text) {
  for (const SqlRow& row : db.Query("SELECT id, server_dir FROM albums WHERE user_id = ? "
                                    "ORDER BY id",
                                    {static_cast<long long>(userId)})) {
    const std::string serverDir = row[1].Text();
    if (!serverDir.empty() && HoldsPath(text, "/" + serverDir)) return row[0].Int();
  }
  return 0;
}

std::string SerializeMails(Db& db, int64_t since) {
  std::string out;
  for (const SqlRow& row :
       db.Query("SELECT m.id, m.kind, COALESCE(m.user_id, 0), COALESCE(u.name, ''), m.mail_from, "
                "m.mail_to, m.subject, m.message, m.created FROM mails m "
                "LEFT JOIN users u ON u.id = m.user_id WHERE m.id > ? ORDER BY m.id",
                {static_cast<long long>(since)})) {
    const int64_t userId = row[2].Int();
    const std::string message = row[7].Text();
    const int64_t albumId = userId > 0 ? AlbumNamedInText(db, userId, message) : 0;
    out += "mail " + std::to_string(row[0].Int()) + " " + PercentEncode(row[1].Text()) + " " +
           std::to_string(userId) + " " + PercentEncode(row[3].Text()) + " " +
           std::to_string(albumId) + " " + PercentEncode(row[4].Text()) + " " +
           PercentEncode(row[5].Text()) + " " + PercentEncode(row[6].Text()) + " " +
           PercentEncode(message) + " " + PercentEncode(row[8].Text()) + "\n";
  }
  return out;
}

}  // namespace zerva::server
