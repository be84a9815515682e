// The verbs of zerva-cli that work on the signed-in user's albums as the albums page, the
// post-upload page and the send page do, on the same core rules. Each returns an exit status
// (cli_status.h); `context.app` is signed in and its album list loaded.
#pragma once

#include "cli/cli_context.h"

namespace zerva::cli {

// `albums [--sort KEY] [--asc|--desc] [--web-order KEY[:asc|:desc]]`: the list in the order of
// the window's sort menu, which a choice changes and keeps; the web page order saved first.
int RunAlbums(CliContext& context);
// `delete ID`: after the question, as the albums page deletes.
int RunDelete(CliContext& context);
// `send ID --to ADDRESSES [--subject S] [--message M]`: the album's address by e-mail.
int RunSend(CliContext& context);
// `open ID`: prints the address that opens the album's web page signed in.
int RunOpen(CliContext& context);
// `banners ID`: the banners the service shows beside the album, one per line.
int RunBanners(CliContext& context);

}  // namespace zerva::cli
