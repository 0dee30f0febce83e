#pragma once
#include <QByteArray>
#include <QList>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// The fuzzers' entry point and what they share. A target that finds a broken rule aborts, so that
// libFuzzer keeps the input; the replay program runs kept inputs under the test build.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

inline QByteArray fuzzBytes(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// Several texts from one input: the parts between the bytes 0x01.
inline QList<QByteArray> fuzzParts(const QByteArray& bytes, int wanted) {
    QList<QByteArray> parts = bytes.split('\x01');
    while (parts.size() < wanted)
        parts.append(QByteArray());
    return parts;
}

// Fails the run with the rule that broke.
#define FUZZ_CHECK(cond)                                                                                     \
    do {                                                                                                     \
        if (!(cond)) {                                                                                       \
            fprintf(stderr, "broken rule: %s (%s:%d)\n", #cond, __FILE__, __LINE__);                         \
            abort();                                                                                         \
        }                                                                                                    \
    } while (0)
