#pragma once
#include <QString>

// Reads the GIF image at `nom` with its extension changed to ".gif" and writes it as a 24-bit
// bitmap at the same name with ".bmp" (written whole or not at all). Returns the bitmap path.
// Throws std::runtime_error with a French message on failure.
QString convertitGifEnBmp(const QString& nom);
