// Keeps the engine's debug lines off standard error: debug and info messages are dropped,
// warnings and worse go to the handler that was in place before.
#pragma once

void installMessageFilter();
