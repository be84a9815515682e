#include "server/schema.h"

namespace zerva::server {
namespace {

const char* const kSchema = R"sql(
CREATE TABLE IF NOT EXISTS users(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  name TEXT NOT NULL UNIQUE COLLATE NOCASE,
  email TEXT NOT NULL UNIQUE COLLATE NOCASE,
  pass_md5 TEXT NOT NULL,
  user_type INTEGER NOT NULL DEFAULT 1,
  lang INTEGER NOT NULL DEFAULT 1033,
  quota INTEGER NOT NULL DEFAULT 1073741824,
  full_name TEXT NOT NULL DEFAULT '',
  description TEXT NOT NULL DEFAULT '',
  www TEXT NOT NULL DEFAULT '',
  setting TEXT NOT NULL DEFAULT '',
  page_order TEXT NOT NULL DEFAULT '',
  default_watermark INTEGER NOT NULL DEFAULT 0,
  can_publish_fb INTEGER NOT NULL DEFAULT 0,
  code TEXT NOT NULL DEFAULT '',
  created TEXT NOT NULL DEFAULT '');
CREATE TABLE IF NOT EXISTS address_book(
  user_id INTEGER NOT NULL REFERENCES users(id) ON DELETE CASCADE,
  email TEXT NOT NULL,
  PRIMARY KEY(user_id, email));
CREATE TABLE IF NOT EXISTS albums(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  user_id INTEGER NOT NULL REFERENCES users(id) ON DELETE CASCADE,
  server_dir TEXT NOT NULL COLLATE NOCASE,
  settings TEXT NOT NULL DEFAULT '',
  uploading INTEGER NOT NULL DEFAULT 1,
  create_date TEXT NOT NULL DEFAULT '',
  update_date TEXT NOT NULL DEFAULT '',
  UNIQUE(user_id, server_dir));
CREATE TABLE IF NOT EXISTS photos(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  album_id INTEGER NOT NULL REFERENCES albums(id) ON DELETE CASCADE,
  file_name TEXT NOT NULL,
  xml TEXT NOT NULL DEFAULT '',
  idx INTEGER NOT NULL DEFAULT 0,
  is_video INTEGER NOT NULL DEFAULT 0,
  UNIQUE(album_id, file_name));
CREATE TABLE IF NOT EXISTS videos(
  album_id INTEGER NOT NULL REFERENCES albums(id) ON DELETE CASCADE,
  file_name TEXT NOT NULL,
  size INTEGER NOT NULL,
  video_xml TEXT NOT NULL DEFAULT '',
  created TEXT NOT NULL DEFAULT '',
  PRIMARY KEY(album_id, file_name));
CREATE TABLE IF NOT EXISTS video_files(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  user_id INTEGER NOT NULL REFERENCES users(id) ON DELETE CASCADE,
  directory TEXT NOT NULL,
  file_name TEXT NOT NULL,
  unknown INTEGER NOT NULL,
  UNIQUE(user_id, directory, file_name, unknown));
CREATE TABLE IF NOT EXISTS video_blocks(
  video_file_id INTEGER NOT NULL REFERENCES video_files(id) ON DELETE CASCADE,
  idx INTEGER NOT NULL,
  size INTEGER NOT NULL,
  md5 TEXT NOT NULL,
  PRIMARY KEY(video_file_id, idx));
CREATE TABLE IF NOT EXISTS video_uploads(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  video_file_id INTEGER NOT NULL REFERENCES video_files(id) ON DELETE CASCADE,
  user_id INTEGER NOT NULL,
  state INTEGER NOT NULL DEFAULT 0,
  created TEXT NOT NULL DEFAULT '');
CREATE TABLE IF NOT EXISTS originals(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  user_id INTEGER NOT NULL REFERENCES users(id) ON DELETE CASCADE,
  file_name TEXT NOT NULL,
  size INTEGER NOT NULL,
  reason TEXT NOT NULL DEFAULT '',
  created TEXT NOT NULL DEFAULT '');
CREATE TABLE IF NOT EXISTS accepted_originals(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  user_id INTEGER NOT NULL,
  file_size INTEGER NOT NULL,
  reason TEXT NOT NULL,
  created TEXT NOT NULL DEFAULT '');
CREATE TABLE IF NOT EXISTS tickets(
  ticket TEXT PRIMARY KEY,
  user_id INTEGER NOT NULL,
  expires INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS web_sessions(
  token TEXT PRIMARY KEY,
  user_id INTEGER NOT NULL,
  expires INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS categories(
  id INTEGER PRIMARY KEY,
  parent_id INTEGER NOT NULL DEFAULT 0,
  partner_id INTEGER NOT NULL DEFAULT 0,
  need_info INTEGER NOT NULL DEFAULT 0,
  additional_info TEXT NOT NULL DEFAULT '',
  send_original INTEGER NOT NULL DEFAULT 0,
  send_hires INTEGER NOT NULL DEFAULT 0,
  sub_categories TEXT NOT NULL DEFAULT '',
  url TEXT NOT NULL DEFAULT '',
  caption TEXT NOT NULL DEFAULT '',
  description TEXT NOT NULL DEFAULT '',
  read_only INTEGER NOT NULL DEFAULT 0,
  name TEXT NOT NULL,
  sort INTEGER NOT NULL DEFAULT 0);
CREATE TABLE IF NOT EXISTS album_info(
  album_id INTEGER NOT NULL REFERENCES albums(id) ON DELETE CASCADE,
  category_id INTEGER NOT NULL,
  value_set TEXT NOT NULL,
  PRIMARY KEY(album_id, category_id));
CREATE TABLE IF NOT EXISTS partners(
  id INTEGER PRIMARY KEY,
  name TEXT NOT NULL,
  description TEXT NOT NULL DEFAULT '',
  url TEXT NOT NULL DEFAULT '',
  flag INTEGER NOT NULL DEFAULT 0);
CREATE TABLE IF NOT EXISTS banners(
  id INTEGER PRIMARY KEY,
  title TEXT NOT NULL,
  link TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS info(
  lang INTEGER PRIMARY KEY,
  url TEXT NOT NULL DEFAULT '',
  caption TEXT NOT NULL DEFAULT '',
  description TEXT NOT NULL DEFAULT '',
  interval INTEGER NOT NULL DEFAULT 0);
CREATE TABLE IF NOT EXISTS mails(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  user_id INTEGER,
  kind TEXT NOT NULL,
  mail_from TEXT NOT NULL DEFAULT '',
  mail_to TEXT NOT NULL DEFAULT '',
  subject TEXT NOT NULL DEFAULT '',
  message TEXT NOT NULL DEFAULT '',
  created TEXT NOT NULL DEFAULT '');
CREATE TABLE IF NOT EXISTS bug_reports(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  user_name TEXT NOT NULL DEFAULT '',
  authenticated INTEGER NOT NULL DEFAULT 0,
  report TEXT NOT NULL DEFAULT '',
  file_name TEXT NOT NULL DEFAULT '',
  file_size INTEGER NOT NULL DEFAULT 0,
  created TEXT NOT NULL DEFAULT '');
CREATE TABLE IF NOT EXISTS statistics(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  uuid TEXT NOT NULL,
  statistic TEXT NOT NULL,
  created TEXT NOT NULL DEFAULT '');
CREATE TABLE IF NOT EXISTS install_events(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  status TEXT NOT NULL,
  created TEXT NOT NULL DEFAULT '');
CREATE TABLE IF NOT EXISTS service_texts(
  key TEXT PRIMARY KEY,
  value TEXT NOT NULL);
)sql";

// Enough for a sign-in on a fresh service; --seed-demo adds the full demo tree.
const char* const kBaseCategories = R"sql(
INSERT OR IGNORE INTO categories(id, parent_id, name, sort) VALUES
  (1, 0, 'Family', 10), (2, 0, 'Travel', 20), (3, 0, 'Nature', 30);
)sql";

}  // namespace

bool CreateSchema(Db& db, std::string* error) {
  auto lock = db.Lock();
  if (!db.ExecScript(kSchema)) {
    *error = db.LastError();
    return false;
  }
  if (db.QueryInt("SELECT COUNT(*) FROM categories", {}, 0) == 0 &&
      !db.ExecScript(kBaseCategories)) {
    *error = db.LastError();
    return false;
  }
  return true;
}

}  // namespace zerva::server
