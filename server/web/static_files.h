// The web console's pages, scripts and styles, built into the executable from server/web/static/
// (and the command reference, whose usage lines the command line offers). Nothing is read from
// the disk, so no request can name a file outside them.
#pragma once

#include <string_view>

namespace server::web {

struct StaticFile {
  std::string_view name;  // as the page names it: "app.js"
  std::string_view content_type;
  std::string_view body;
};

// The file of that name, or null.
const StaticFile* FindStaticFile(std::string_view name);

}  // namespace server::web
