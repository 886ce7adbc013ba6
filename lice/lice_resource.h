// Where named resources (the editor's images) are found.
#pragma once

#include <string>

// Overrides the resources folder (tests, tools and headless rendering use
// it); null or "" returns to the plug-in bundle's own "Contents/Resources/".
void LICE_SetResourceFolder(const char* dir);

// The full path of a named resource, or "" when the name is refused (null,
// empty, over 400 characters or with a ".." component) or no folder is known.
std::string LICE_ResourcePath(const char* name);
