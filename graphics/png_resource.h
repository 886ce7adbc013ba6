// How an editor image name becomes a PNG file among the plug-in's resources.
#pragma once

#include <string>

class LICE_IBitmap;

// The resource file an image name stands for: its last path component with
// the extension, which must be "png" in any letter case ("resources/img/BG.PNG"
// is "BG.png"). "" for a null name, another extension or an empty stem.
std::string PNGResourceFileName(const char* name);

// Decodes the image the name stands for from the resource folder
// (LICE_ResourcePath); null when the name is refused or the file is missing
// or unreadable.
LICE_IBitmap* LoadPNGResource(const char* name);
