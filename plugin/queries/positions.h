// Where things are: the three position readings, the one position text, and world positions
// turned into the map's longitude and latitude. Thread: the game thread.
#pragma once

#include <string>
#include <utility>

#include <sdk/game_types.h>

namespace orvane {

// Translation of the root component's world transform; zeros without a root component.
FVector WorldPositionOf(const AActor* actor);
// The root component's relative location. REQUIRES: the actor has a root component.
FVector RelativePositionOf(const AActor* actor);
// "AShooterPlayerController.CurrentPlayerCharacterLocation".
FVector PlayerPositionOf(const AShooterPlayerController* controller);

// "X=%3.3f Y=%3.3f Z=%3.3f".
FString PositionText(const FVector& position);
// The same text appended to narrow text, for dump files that write one per actor.
void AppendPositionText(std::string& text, const FVector& position);

struct MapCoordinates {
  double longitude = 0;
  double latitude = 0;
};
// From the running map's world settings (defaults without them); (0, 0) without a world.
MapCoordinates MapCoordinatesOf(const FVector& position);
// The coordinate cut (not rounded) to two decimals towards minus infinity, as a float. A float
// of magnitude 2^23 or more has no fraction to cut, so such a coordinate, an infinite one
// (a zero map scale) and NaN come back as they are, and print as "1e+15", "inf" or "nan".
float CutToTwoDecimals(double coordinate);

}  // namespace orvane
