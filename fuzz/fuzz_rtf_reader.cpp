// libFuzzer target for the RTF reader: any bytes, with or without the RTF
// header, must be read without a crash, a hang or undefined behaviour.

#include "platform/rtf_reader.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QTextDocument>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // Text formats touch fonts, which want a GUI application.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QTextDocument document;
    readRtf(bytes, document);
    // The same bytes inside a document, so the header check does not stop them.
    readRtf(QByteArray("{\\rtf1 ") + bytes, document);
    return 0;
}
