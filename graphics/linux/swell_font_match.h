// Font file look-up through fontconfig.
#pragma once

#include <string>

struct SWELL_FontFile {
  std::string path;
  int index = 0;          // face index inside the file
  std::string family;     // family name of the chosen face
  bool embolden = false;  // bold asked for, the face is not bold
  bool oblique = false;   // italic asked for, the face is upright
  bool monospace = false; // fontconfig reports fixed spacing
};

// "sans-serif", "serif" or "monospace": the generic family a face name falls
// back to when the machine does not have it (Helvetica -> sans-serif, Monaco
// -> monospace, Times -> serif, unknown names -> sans-serif).
const char* SWELL_GenericFamilyFor(const char* faceName);

// Finds the file of the face that best matches the name and style. Results
// are remembered per (name, bold, italic); safe to call from any thread.
bool SWELL_FindFontFile(const char* faceName, bool bold, bool italic, SWELL_FontFile* out);
