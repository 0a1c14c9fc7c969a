// What the bytes of the game's texts stand for. Text bytes are Windows-1252
// characters, as the platform's ANSI text calls take them: Latin-1, with the
// typographic characters (dashes, quotes, bullet, euro sign) at 0x80..0x9F
// where Latin-1 has control codes. The font renderer and the glyph cache
// both read texts through this.
#pragma once

#include <cstdint>

// The Unicode character a text byte stands for.
uint16_t CharacterOfTextByte(uint8_t byte);
