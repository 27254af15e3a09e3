#include "queries/map_names.h"

#include <array>

#include <sdk/api.h>

#include "core/format.h"
#include "core/narrow.h"
#include "core/plugin_logger.h"
#include "host/game_access.h"

namespace orvane {
namespace {

struct MapName {
  std::u16string_view key;
  const char16_t* display;
};

// Searched in this order; the first key found decides.
constexpr std::array<MapName, 14> kMapNames = {{
    {u"Aberration_P", u"Aberration"},
    {u"CrystalIsles", u"Crystal Isles"},
    {u"Extinction", u"Extinction"},
    {u"Genesis", u"Genesis I"},
    {u"Gen2", u"Genesis II"},
    {u"TheIsland", u"The Island"},
    {u"Ragnarok", u"Ragnarok"},
    {u"Valguero_P", u"Valguero"},
    {u"ScorchedEarth_P", u"Scorched Earth"},
    {u"TheCenter", u"The Center"},
    {u"Viking_P", u"Fjordur"},
    {u"TheVolcano", u"The Volcano"},
    {u"EbenusAstrum", u"Ebenus Astrum"},
    {u"Shigoislands", u"Shigo islands"},
}};

}  // namespace

FString MapDisplayName(FString map_name) {
  for (const MapName& row : kMapNames)
    if (map_name.Contains(row.key, ESearchCase::IgnoreCase)) return FString(row.display);
  return map_name;
}

void ResolveSaveDirectories(FString& save_subpath, FString& save_folder, FString& map_folder,
                            FString& cluster_folder) {
  AShooterGameMode* game_mode = HostApi::GetApiUtils().CurrentGameMode();
  save_subpath = host::Field(game_mode, sym::AShooterGameMode::SaveDirectoryName);
  save_subpath.ReplaceInline(u"/", u"\\", ESearchCase::CaseSensitive);
  const std::string directory = ToNarrowString(save_subpath);
  PluginLogger::Get().info("Got save directory: \"{}\"", directory);
  save_subpath = Format(u"\\Saved\\{}", directory);

  save_folder = FString(HostApi::Tools::GetCurrentDir().c_str());
  save_folder.ReplaceInline(u"\\Binaries\\Win64", save_subpath.View(), ESearchCase::IgnoreCase);
  map_folder = save_folder + u"\\TheIsland_WP";
  cluster_folder = save_folder + u"\\Cluster";
  PluginLogger::Get().info("Server save folder: \"{}\"", ToNarrowString(save_folder));
}

SaveDirectories ResolveSaveDirectories() {
  SaveDirectories dirs;
  ResolveSaveDirectories(dirs.save_subpath, dirs.save_folder, dirs.map_folder, dirs.cluster_folder);
  return dirs;
}

}  // namespace orvane
