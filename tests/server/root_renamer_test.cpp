#include "server/preview/root_renamer.h"

#include <gtest/gtest.h>

namespace server {
namespace {

// A report names the scratch root both ways (the host form JSON-escaped); however the pipe cuts
// it, the live root comes out.
TEST(RootRenamer, RenamesBothFormsAcrossEveryCut) {
  const std::string text = R"({"a":"/tmp/orvane-preview-x1/Saved/f.txt","b":"\\tmp\\orvane-)"
                           R"(preview-x1\\Saved","c":"/tmp/orvane-preview-x"})";
  const std::string expected = R"({"a":"/srv/root/Saved/f.txt","b":"\\srv\\root\\Saved",)"
                               R"("c":"/tmp/orvane-preview-x"})";
  for (std::size_t cut = 0; cut <= text.size(); ++cut) {
    for (std::size_t second = cut; second <= text.size(); second += 7) {
      RootRenamer renamer("/tmp/orvane-preview-x1", "/srv/root");
      std::string out;
      renamer.Append(std::string_view(text).substr(0, cut), out);
      renamer.Append(std::string_view(text).substr(cut, second - cut), out);
      renamer.Append(std::string_view(text).substr(second), out);
      renamer.Flush(out);
      ASSERT_EQ(out, expected) << "cut at " << cut << " and " << second;
    }
  }
}

}  // namespace
}  // namespace server
