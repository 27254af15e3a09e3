// DumpFile: one of the plugin's report files in its folder under the server's working
// directory ("<working dir>/HostApi/Plugins/Orvane/<name>"). Opening creates the file or empties
// it; the folder is never created. When the file cannot be opened (folder missing, no
// permission) every write does nothing and nobody is told: the commands reply the same either
// way, and nothing reads the file back.
// Thread: the game thread.
#pragma once

#include <fstream>
#include <string_view>

#include <sdk/fstring.h>

namespace orvane {

class DumpFile {
 public:
  // Opens (and empties) the file `name`, e.g. "AllActors.txt".
  explicit DumpFile(std::string_view name);

  // Writes the bytes as they are.
  void Write(std::string_view bytes);
  // Writes the text turned into narrow bytes in one piece (ToNarrowString).
  void Write(const FString& text);
  void Close();

 private:
  std::ofstream stream_;
};

}  // namespace orvane
