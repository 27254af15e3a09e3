// Must not compile with the plugin's include paths: the game stand-in is out of its reach.
#include "game/memory/allocator.h"
