// The categories of --category put into the album as the editor's category button does, their
// forms filled from --field and --agree and checked by the forms' own validators. Nothing is
// sent: a form that does not validate ends the upload before it starts.
#pragma once

#include "cli/cli_context.h"

namespace zerva::cli {

// False, with the reasons on stderr, when a category cannot be added or its form is refused.
[[nodiscard]] bool ApplyCategories(CliContext& context);

}  // namespace zerva::cli
