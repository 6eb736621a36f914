#include "platform/uPdfGlyphLookup.h"

#if defined(__linux__) || defined(__FreeBSD__)
#define KALNO_GLYPH_LOOKUP 1
#endif

#ifdef KALNO_GLYPH_LOOKUP
#include <dlfcn.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace {
constexpr FT_ULong kPlane = 0x10000;

// The plane in 256 blocks of 256 characters; a font maps a few dozen of them, the rest share one
// block of zeros, so a table is a few kilobytes instead of 128 that would each be cleared.
using TBlock = std::array<std::uint16_t, 256>;
const TBlock kNoGlyphs{};

// The glyph of each character of the plane in one character map of one face.
struct TTable {
  FT_Face Face;
  FT_CharMap CharMap;
  std::unique_ptr<std::array<const std::uint16_t*, 256>> Blocks;
  std::vector<std::unique_ptr<TBlock>> Owned;
};

// Per thread; plain values, so that reading them costs one load (the tables live on the heap).
#define KALNO_TLS thread_local __attribute__((tls_model("initial-exec")))
KALNO_TLS int t_depth = 0;
KALNO_TLS bool t_building = false;
// The table of the last lookup: Qt asks for one font's whole plane in a row.
KALNO_TLS FT_Face t_lastFace = nullptr;
KALNO_TLS FT_CharMap t_lastCharMap = nullptr;
KALNO_TLS const std::uint16_t* const* t_lastBlocks = nullptr;
KALNO_TLS std::vector<TTable>* t_tables = nullptr;

using TGetCharIndex = FT_UInt (*)(FT_Face, FT_ULong);
using TDoneFace = FT_Error (*)(FT_Face);
using TLoadGlyph = FT_Error (*)(FT_Face, FT_UInt, FT_Int32);

TGetCharIndex FreeTypeGetCharIndex() {
  static const auto f = reinterpret_cast<TGetCharIndex>(dlsym(RTLD_NEXT, "FT_Get_Char_Index"));
  return f;
}

TDoneFace FreeTypeDoneFace() {
  static const auto f = reinterpret_cast<TDoneFace>(dlsym(RTLD_NEXT, "FT_Done_Face"));
  return f;
}

TLoadGlyph FreeTypeLoadGlyph() {
  static const auto f = reinterpret_cast<TLoadGlyph>(dlsym(RTLD_NEXT, "FT_Load_Glyph"));
  return f;
}

// FreeType's own walk through the map: every character it maps, ascending, with the glyph
// FT_Get_Char_Index gives for it (both skip glyphs beyond the face's count); the rest is 0.
const std::uint16_t* const* TableFor(FT_Face face) {
  if (!t_tables) t_tables = new std::vector<TTable>;
  const std::uint16_t* const* blocks = nullptr;
  for (const TTable& t : *t_tables)
    if (t.Face == face && t.CharMap == face->charmap) blocks = t.Blocks->data();
  if (!blocks) {
    if (face->num_glyphs > 0xFFFF) return nullptr;
    TTable t{face, face->charmap, std::make_unique<std::array<const std::uint16_t*, 256>>(), {}};
    t.Blocks->fill(kNoGlyphs.data());
    t_building = true;  // FreeType's walk may call FT_Get_Char_Index itself
    std::array<std::uint16_t*, 256> made{};
    FT_UInt glyph = 0;
    for (FT_ULong c = FT_Get_First_Char(face, &glyph); glyph != 0 && c < kPlane; c = FT_Get_Next_Char(face, c, &glyph)) {
      std::uint16_t*& block = made[c >> 8];
      if (!block) {
        t.Owned.push_back(std::make_unique<TBlock>());
        block = t.Owned.back()->data();
        (*t.Blocks)[c >> 8] = block;
      }
      block[c & 0xFF] = std::uint16_t(glyph);
    }
    t_building = false;
    blocks = t.Blocks->data();
    t_tables->push_back(std::move(t));
  }
  t_lastFace = face;
  t_lastCharMap = face->charmap;
  t_lastBlocks = blocks;
  return blocks;
}

void ForgetLast() {
  t_lastFace = nullptr;
  t_lastCharMap = nullptr;
  t_lastBlocks = nullptr;
}

void Forget(FT_Face face) {
  ForgetLast();
  if (!t_tables) return;
  for (auto it = t_tables->begin(); it != t_tables->end();) it = it->Face == face ? t_tables->erase(it) : it + 1;
}

void ForgetAll() {
  ForgetLast();
  delete t_tables;
  t_tables = nullptr;
}

// Everything but the table of the last font: kept out of line, so that the lookup Qt makes
// 65536 times per font saves and restores no registers.
__attribute__((noinline)) FT_UInt OtherLookup(FT_Face face, FT_ULong charcode) {
  if (t_depth > 0 && charcode < kPlane && face && !t_building && face->charmap)
    if (const std::uint16_t* const* blocks = TableFor(face)) return blocks[charcode >> 8][charcode & 0xFF];
  return FreeTypeGetCharIndex()(face, charcode);
}
}  // namespace

// Qt's font engine (libQt6Gui) calls these; the program's definitions come first.
extern "C" FT_UInt FT_Get_Char_Index(FT_Face face, FT_ULong charcode) {
  if (t_depth > 0 && charcode < kPlane && face && face == t_lastFace && face->charmap == t_lastCharMap)
    return t_lastBlocks[charcode >> 8][charcode & 0xFF];
  return OtherLookup(face, charcode);
}

extern "C" FT_Error FT_Done_Face(FT_Face face) {
  if (t_depth > 0) Forget(face);  // a new face may get the same address
  return FreeTypeDoneFace()(face);
}

// Qt takes each embedded glyph's outline at a size of one em (a pixel per font unit), with the
// size set anew before every glyph, so FreeType runs the font's size program again each time. At
// that size hinting has no pixel grid to serve: the PDF viewer scales the outline itself. So the
// outline is taken as the font was drawn, unhinted. For the faces Arial and Courier New resolve to
// on Linux (Liberation) that is the same outline to the last unit; a few faces' programs move
// points even at one em (DejaVu: "|" in the monospaced face by 9 of 2048 units), and keep their
// drawn shape now.
extern "C" FT_Error FT_Load_Glyph(FT_Face face, FT_UInt glyph, FT_Int32 flags) {
  if (t_depth > 0 && face && face->size && face->units_per_EM > 0 && !(flags & FT_LOAD_NO_SCALE) &&
      face->size->metrics.x_ppem == face->units_per_EM && face->size->metrics.y_ppem == face->units_per_EM)
    flags |= FT_LOAD_NO_HINTING;
  return FreeTypeLoadGlyph()(face, glyph, flags);
}

TPdfGlyphLookupScope::TPdfGlyphLookupScope() {
  if (Available()) ++t_depth;
}

TPdfGlyphLookupScope::~TPdfGlyphLookupScope() {
  if (Available() && --t_depth == 0) ForgetAll();
}

bool TPdfGlyphLookupScope::Available() {
  // Both FreeType's functions found, and ours the ones the process uses.
  static const bool available = FreeTypeGetCharIndex() && FreeTypeDoneFace() && FreeTypeLoadGlyph() &&
                                dlsym(RTLD_DEFAULT, "FT_Get_Char_Index") == reinterpret_cast<void*>(&FT_Get_Char_Index);
  return available;
}

#else

TPdfGlyphLookupScope::TPdfGlyphLookupScope() = default;
TPdfGlyphLookupScope::~TPdfGlyphLookupScope() = default;
bool TPdfGlyphLookupScope::Available() { return false; }

#endif
