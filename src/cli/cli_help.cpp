#include "cli/cli_help.h"

#include "app/version.h"

namespace zerva::cli {

HelpDoc CliHelp() {
  HelpDoc doc;
  doc.name = "zerva-cli";
  doc.summary = "sign in to the photo-album service, list, send and upload albums from a terminal";
  doc.header = VersionLine();
  doc.usage = {"zerva-cli [SWITCHES] VERB [ARGUMENTS] [OPTIONS]", "zerva-cli [SWITCHES] FILES..."};
  doc.sections.push_back(ManualSection(
      "Description",
      {Paragraph({"zerva-cli does what the zerva window does, without the window: it signs in, "
                  "lists and deletes albums, sends their addresses, uploads a folder as an album, "
                  "or uploads the photo and video files given on the command line as a new album "
                  "(an unattended upload). Photos are prepared (turned, made smaller, their "
                  "metadata kept) and videos converted with ffmpeg before they are sent."})}));
  doc.sections.push_back(Section(
      "Verbs",
      {Table({{"login", {"sign in and report the number of albums"}},
              {"logout", {"forget the remembered password (the login name stays)"}},
              {"albums",
               {"list your albums, one per line:",
                "ID <tab> NAME <tab> PHOTOS <tab> VIDEOS <tab> CREATED <tab> ADDRESS",
                "(the order in use is shown on stderr)"}},
              {"delete ID", {"delete the album ID on the service (asks first)"}},
              {"send ID --to ADDRESSES [--subject TEXT] [--message TEXT]",
               {"send the album's address by e-mail through the service; addresses separated "
                "by \";\" or \",\"; the subject is the album's name and the message its address "
                "and description unless given"}},
              {"open ID",
               {"print the address that opens the album's web page signed in (it holds a "
                "one-time login ticket: keep it to yourself)"}},
              {"banners ID",
               {"list the banners shown beside the album, one per line:",
                "TITLE <tab> LINK <tab> PICTURE ADDRESS"}},
              {"upload FOLDER",
               {"upload a folder as a new album, or bring up to date the album that was made "
                "from this folder before"}},
              {"prepare --out DIR FILES...",
               {"only prepare the photos for upload, into DIR (no service needed)"}},
              {"FILES...",
               {"without a verb: upload the photo and video files as a new album named "
                "LABEL_<time> (see -lbl)"}}})}));
  doc.sections.push_back(Section(
      "Switches",
      {Paragraph({"The program's own switches; they work with every verb."}),
       Table({{"-usr NAME", {"sign in as NAME"}},
              {"-pwd PASSWORD", {"with this password"}},
              {"-lbl LABEL", {"the label that names the album of an unattended upload"}},
              {"-lst FILE -end",
               {"read the files of an unattended upload from a .lst file, one per line"}},
              {"-trace", {"also write every trace line to stderr; failures show the raw answer"}},
              {"-noreg, -unins, -delay:MS",
               {"installation switches; zerva-cli never registers the URL protocol, and -unins "
                "ends before anything is sent"}}})}));
  doc.sections.push_back(Section(
      "Options",
      {Table({{"--yes", {"answer every question with Yes (OK, Retry)"}},
              {"--no",
               {"answer every question with No (Cancel)",
                "Without either, questions are asked on the terminal when stdin is one; "
                "otherwise they get the declining answer (No, or Cancel where it is offered): "
                "nothing is deleted, retried or sent again unasked."}},
              {"--remember", {"with login, -usr and -pwd: remember the login for later runs"}},
              {"--sort KEY",
               {"with albums: order by name, created, modified, count (of photos), size, from "
                "or to, as the window's sort menu does: the key in use turns its direction "
                "round, another key takes the direction it had last. Without --sort, the order "
                "last chosen (here or in the window). A choice is kept for later runs and for "
                "the window."}},
              {"--asc, --desc",
               {"with albums: the direction of the order (ascending is A to Z, oldest first, "
                "fewest first)"}},
              {"--web-order KEY[:asc|:desc]",
               {"with albums: the order of the albums on your web page, saved to the service: "
                "createDate, viewCount, albumName, date or lastComment; the order in use turns "
                "round unless a direction is given"}},
              {"--to ADDRESSES", {"with send: the recipients"}},
              {"--subject TEXT, --message TEXT",
               {"with send: instead of the album's name and address"}},
              {"--name NAME", {"with upload: the name of a new album"}},
              {"--category ID",
               {"with upload: put the album into the category ID (repeatable; at most 5 "
                "categories). A category that asks for a form gets its values from --field and "
                "needs --agree; the form's own checks apply, and a form that does not pass "
                "stops before anything is sent"}},
              {"--field KEY=VALUE",
               {"with --category: a value of the category's form (repeatable); a list field "
                "takes one of its choices, a yes/no field true or false, a date YYYY-MM-DD "
                "HH:MM:SS"}},
              {"--agree", {"with --category: tick the form's agreement box"}},
              {"--gps LAT,LON",
               {"with upload: the map position (decimal degrees, such as 49.195,16.607) of every "
                "photo and video that has none; positions the camera recorded are kept"}},
              {"--convert-first",
               {"with uploads: convert each video completely before sending it (by default a "
                "video is sent while ffmpeg is still writing it)"}},
              {"--out DIR", {"with prepare: where the prepared files go"}},
              {"--help, -h", {"this text"}},
              {"--version", {"the program's name and version"}}})}));
  doc.sections.push_back(Section(
      "Credentials",
      {Paragraph({"-usr and -pwd, or the login remembered by"}),
       Commands({"zerva-cli -usr NAME -pwd PASSWORD login --remember"}),
       Paragraph({"Only the password's MD5 digest is stored, in the settings file "
                  "($XDG_CONFIG_HOME/zerva/zerva.conf). A sign-in with -usr and -pwd through "
                  "'login' without --remember forgets a remembered password."})}));
  doc.sections.push_back(Section(
      "The service",
      {Paragraph({"The default address, or the one named by zerva_proxy_setting.ini next to the "
                  "executable (Domain=host:port, UploadDomain=, ProxyHost=, ProxyPort=, "
                  "ProxyUserName=, ProxyPassword=). Progress goes to stderr: a bar on a "
                  "terminal, plain lines otherwise. Where the window would open a web page, the "
                  "address is printed instead."})}));
  doc.sections.push_back(Section(
      "Examples", {Commands({"zerva-cli -usr anna -pwd secret login --remember",
                             "zerva-cli albums --sort created",
                             "zerva-cli upload ~/Pictures/2026-07-Tatry --name \"Tatry in July\"",
                             "zerva-cli send 1234 --to \"petr@example.org; jana@example.org\"",
                             "zerva-cli -lbl trip ~/Pictures/a.jpg ~/Pictures/b.jpg"})}));
  doc.sections.push_back(Section(
      "Exit status",
      {Table({{"0", {"success"}},
              {"1", {"the verb failed: the service refused, or a file could not be used"}},
              {"2", {"the command line is not understood, or --to holds no e-mail address"}},
              {"3", {"the program's language files are missing (\"Load localization error\")"}},
              {"4", {"the service cannot be reached (the connection test failed)"}},
              {"5", {"the service's message stops the program"}},
              {"6", {"the update check failed, or an update is being installed"}},
              {"7", {"no credentials, a refused sign-in, or the account is signed in elsewhere"}},
              {"8", {"a question was answered No, or had no answer"}},
              {"9", {"no album with that identifier"}}},
             4)}));
  doc.sections.push_back(ManualSection(
      "Files",
      {Table({{"$XDG_CONFIG_HOME/zerva/zerva.conf",
               {"settings: the login name, a remembered password's digest, the album order; "
                "~/.config/zerva/zerva.conf when XDG_CONFIG_HOME is not set"}},
              {"$XDG_CACHE_HOME/zerva/zerva.localhost/",
               {"photos and videos prepared for upload, and the trace log trace.log; "
                "~/.cache/zerva/zerva.localhost/ when XDG_CACHE_HOME is not set"}},
              {"zerva_proxy_setting.ini",
               {"next to the executable: another service or a proxy, as above"}}})}));
  doc.sections.push_back(ManualSection("See also", {Paragraph({"zerva(1), zerva-server(1)"})}));
  return doc;
}

std::string HelpText() {
  return RenderHelpText(CliHelp());
}

}  // namespace zerva::cli
