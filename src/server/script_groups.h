// Each group of scripts and pages registers itself here; a new group is one more file and one
// more line in ZervaServer::Init.
#pragma once

#include "server/router.h"

namespace zerva::server {

void RegisterAccountScripts(Router& router);     // login, settings, profile, tickets, new users
void RegisterAlbumScripts(Router& router);       // album list and album commands
void RegisterUploadScripts(Router& router);      // UploadFile, GetUploadedFiles
void RegisterVideoScripts(Router& router);       // video block protocol
void RegisterCatalogScripts(Router& router);     // categories, partners, banners, info, watermark
void RegisterMailScripts(Router& router);        // SendEmail, DeleteEmailAddress
void RegisterDiagnosticScripts(Router& router);  // SendStat, SendBug, SendBugFile, Ping
void RegisterServicePages(Router& router);       // connection test, messages, lang, update, pages
void RegisterSitePages(Router& router);          // user sites, album pages and their files

}  // namespace zerva::server
