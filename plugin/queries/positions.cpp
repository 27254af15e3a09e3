#include "queries/positions.h"

#include <cmath>
#include <iterator>

#include <fmt/format.h>

#include <sdk/api.h>

#include "core/format.h"
#include "host/game_access.h"

namespace orvane {

using host::Call;
using host::Field;

FVector WorldPositionOf(const AActor* actor) {
  USceneComponent* root = Field(actor, sym::AActor::RootComponent);
  if (root == nullptr) return FVector{};
  return Field(root, sym::USceneComponent::ComponentToWorld).Translation;
}

FVector RelativePositionOf(const AActor* actor) {
  return Field(Field(actor, sym::AActor::RootComponent), sym::USceneComponent::RelativeLocation);
}

FVector PlayerPositionOf(const AShooterPlayerController* controller) {
  return Field(controller, sym::AShooterPlayerController::CurrentPlayerCharacterLocation);
}

FString PositionText(const FVector& position) {
  std::string text;
  AppendPositionText(text, position);
  return FString(text.c_str());
}

void AppendPositionText(std::string& text, const FVector& position) {
  // fmt's fixed notation writes the exact decimal value rounded as printf's "%.3f" does (the
  // width of 3 never pads: the shortest fixed text is "0.000", the others "nan" and "inf"),
  // straight into the text and without the C library's locale and stream machinery.
  fmt::format_to(std::back_inserter(text), "X={:.3f} Y={:.3f} Z={:.3f}", double{position.X},
                 double{position.Y}, double{position.Z});
}

MapCoordinates MapCoordinatesOf(const FVector& position) {
  MapCoordinates result;
  UWorld* world = HostApi::GetApiUtils().CurrentWorld();
  if (world == nullptr) return result;
  float longitude_origin = -400000.0f;
  float latitude_origin = -400000.0f;
  float longitude_scale = 800.0f;
  float latitude_scale = 800.0f;
  if (auto* settings = static_cast<APrimalWorldSettings*>(
          Call(sym::UWorld::GetWorldSettings, world, false, true))) {
    longitude_origin = Field(settings, sym::APrimalWorldSettings::LongitudeOrigin);
    latitude_origin = Field(settings, sym::APrimalWorldSettings::LatitudeOrigin);
    longitude_scale = Field(settings, sym::APrimalWorldSettings::LongitudeScale);
    latitude_scale = Field(settings, sym::APrimalWorldSettings::LatitudeScale);
  }
  // Divisors and offsets in float, as the game computes them; the rest in double.
  const float longitude_divisor = longitude_scale * 10.0f;
  const float latitude_divisor = latitude_scale * 10.0f;
  const float longitude_offset = -longitude_origin / longitude_divisor;
  const float latitude_offset = -latitude_origin / latitude_divisor;
  result.longitude = double(longitude_offset) + position.X / double(longitude_divisor);
  result.latitude = double(latitude_offset) + position.Y / double(latitude_divisor);
  return result;
}

float CutToTwoDecimals(double coordinate) {
  const float value = static_cast<float>(coordinate);
  // Also keeps the conversions below in the range of int32_t, where they are defined.
  constexpr float kWholeFloats = 8388608.0f;  // 2^23: from here on every float is whole
  if (!(std::abs(value) < kWholeFloats)) return value;
  const auto whole = static_cast<int32_t>(std::floor(value));
  const float fraction = value - static_cast<float>(whole);
  const auto hundredths = static_cast<int32_t>(std::trunc(fraction * 100.0f));
  return static_cast<float>(static_cast<double>(hundredths) / 100.0) + static_cast<float>(whole);
}

}  // namespace orvane
