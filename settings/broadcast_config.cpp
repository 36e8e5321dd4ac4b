#include "settings/broadcast_config.h"

BroadcastConfig Config = kDefaultConfig;

uint8_t* ConfigBytes() { return reinterpret_cast<uint8_t*>(&Config); }
