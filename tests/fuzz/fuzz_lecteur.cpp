// One libFuzzer target per reader: built with -DLECTEUR=Wav (Son, Image, Video, Nombres, PageTabulo).
#include "EntreesFuzz.h"

#include <QCoreApplication>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray octets(reinterpret_cast<const char*>(data), qsizetype(size));
    const Verdict v = essaieOctets(Lecteur::LECTEUR, octets);
    // With KINEXO_FUZZ_MESSAGES set, a refusal the user cannot read counts as a fault too.
    static const bool messages = qEnvironmentVariableIsSet("KINEXO_FUZZ_MESSAGES");
    if (messages && !v.lu && !messageLisible(v.message)) {
        fprintf(stderr, "message illisible : \"%s\"\n", qPrintable(v.message));
        abort();
    }
    return 0;
}
