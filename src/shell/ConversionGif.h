#pragma once
#include <QString>

// Reads the GIF image at `nom` with its extension changed to ".gif" and writes it as a 24-bit
// bitmap of the same base name with ".bmp" in this user's folder under the temporary folder
// `tampon` (written whole or not at all); the user's folder is only read, so a BMP of that
// name beside the GIF stays as it was and a read-only folder works. Returns the bitmap path.
// Throws std::runtime_error with a French message on failure.
QString convertitGifEnBmp(const QString& nom, const QString& tampon);
