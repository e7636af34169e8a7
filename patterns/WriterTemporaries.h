#pragma once

#include <string>

// The hidden temporary files that WholeFileWriter writes before a rename. Each name carries the
// writing process's id and a tag of its machine, so a later save can tell a temporary that a
// killed writer left from one that a running writer still fills.
namespace oxn3
{
// A fresh name in `folder` (which ends with '/' or is empty for the working folder). Hidden, and
// not ending in any extension the program lists, so a leftover never shows in a menu.
std::string writerTemporaryName(const std::string& folder);

// Removes from `folder` every temporary of this machine whose writer no longer runs. Temporaries
// of a running process, of another machine or of unknown form stay.
void removeDeadWritersTemporaries(const std::string& folder);
} // namespace oxn3
