#include "PageTabulo.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString texte = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    if (const auto page = PageTabulo::lis(texte)) {
        for (const auto& [x, y] : page->courbes(&*page))
            if (x >= page->noms.size() || y >= page->noms.size())
                __builtin_trap();
        for (const auto& ligne : page->lignes)
            if (ligne.size() != page->noms.size())
                __builtin_trap();
    }
    return 0;
}
