#pragma once

#include <string>

namespace oxn3
{
// The folder holding "Config.ini", the pattern folders and the skins, ending with '/'.
// macOS: "/Library/Application Support/Quellbrook/OXN3/". Linux: $XDG_DATA_HOME/Quellbrook/OXN3/,
// with XDG_DATA_HOME falling back to ~/.local/share when unset, empty or relative.
std::string dataFolderPath();
} // namespace oxn3
