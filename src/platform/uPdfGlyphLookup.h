#pragma once

// While Qt's PDF writer finishes a file it writes, for every embedded font, the map from glyphs
// back to characters: for each of the 65536 characters of the Basic Multilingual Plane it asks
// FreeType for the glyph, one FT_Get_Char_Index call each, about half of all the work of a
// two-page print. Within this scope, on this thread, the program answers those calls from a
// table per font built once from the font's own character map (FT_Get_First_Char /
// FT_Get_Next_Char): the same glyph for every character, in a fraction of the time. Outside of
// it, and on other threads, every call goes to FreeType unchanged. Only where the platform
// lets a program stand in for a library function (ELF); elsewhere the scope does nothing.
class TPdfGlyphLookupScope {
 public:
  TPdfGlyphLookupScope();
  ~TPdfGlyphLookupScope();
  TPdfGlyphLookupScope(const TPdfGlyphLookupScope&) = delete;
  TPdfGlyphLookupScope& operator=(const TPdfGlyphLookupScope&) = delete;

  // Whether the program's lookup stands in for FreeType's in this process.
  static bool Available();
};
