#pragma once
#include <QString>
#include <functional>

// MP3 (or any sound FFmpeg reads) to a 16-bit PCM WAV file: mono or stereo at the stream's rate,
// starting at the first sample of the original sound (encoder delay and padding removed).
class Mp3Decoder
{
public:
    // progres(n) is called each time the percentage of the input read changes.
    // The WAV file appears only once complete. On failure returns false with a French reason.
    static bool decode(const QString& cheminSource, const QString& cheminWav, const std::function<void(int)>& progres,
                       QString* erreur = nullptr);
};
