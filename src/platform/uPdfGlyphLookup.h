#pragma once

// While Qt's PDF writer finishes a file it writes, for every embedded font, the map from glyphs
// back to characters: for each of the 65536 characters of the Basic Multilingual Plane it asks
// FreeType for the glyph, one FT_Get_Char_Index call each, about half of all the work of a
// two-page print. Within this scope, on this thread, the program answers those calls from a
// table per font built once from the font's own character map (FT_Get_First_Char /
// FT_Get_Next_Char): the same glyph for every character, in a fraction of the time. Outside of
// it, and on other threads, every call goes to FreeType unchanged. Within it, too, the outlines
// Qt takes for embedding at a size of one em are loaded unhinted (FT_Load_Glyph), as the font was
// drawn: Qt sets that size anew before every glyph, and FreeType would run the font's size
// program again each time for a grid the PDF does not have. Only where the platform lets a
// program stand in for a library function (ELF); elsewhere the scope does nothing.
class TPdfGlyphLookupScope {
 public:
  TPdfGlyphLookupScope();
  ~TPdfGlyphLookupScope();
  TPdfGlyphLookupScope(const TPdfGlyphLookupScope&) = delete;
  TPdfGlyphLookupScope& operator=(const TPdfGlyphLookupScope&) = delete;

  // Whether the program's lookup stands in for FreeType's in this process.
  static bool Available();
};
