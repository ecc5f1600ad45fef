#include "app/TextCodec.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

#include <array>

namespace velmora {

namespace {

// 0x80..0x9F; 0 where the code page defines no character (those bytes are read as themselves).
constexpr std::array<char16_t, 32> kHighControls{
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char16_t CharOf(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F && kHighControls[byte - 0x80] != 0)
        return kHighControls[byte - 0x80];
    return byte;
}

bool ByteOf(char16_t c, char& byte)
{
    for (std::size_t k = 0; k < kHighControls.size(); ++k) {
        if (kHighControls[k] == c) {
            byte = static_cast<char>(0x80 + k);
            return true;
        }
    }
    // U+0080..U+009F have a byte only where the code page leaves that byte undefined.
    const bool remapped = c >= 0x80 && c <= 0x9F && kHighControls[c - 0x80] != 0;
    if (c > 0xFF || remapped)
        return false;
    byte = static_cast<char>(c);
    return true;
}

} // namespace

QString DecodeWindows1252(std::string_view bytes)
{
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (const char byte : bytes)
        text.append(QChar(CharOf(static_cast<unsigned char>(byte))));
    return text;
}

std::string EncodeWindows1252(const QString& text, int* lost)
{
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    int missing = 0;
    for (const QChar c : text) {
        char byte = '?';
        if (!ByteOf(c.unicode(), byte)) {
            byte = '?';
            // A character outside the basic plane is two code units but one character.
            if (c.isLowSurrogate())
                continue;
            ++missing;
        }
        bytes.push_back(byte);
    }
    if (lost != nullptr)
        *lost = missing;
    return bytes;
}

QString TextFromBytes(std::string_view bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return utf8.hasError() ? DecodeWindows1252(bytes) : text;
}

bool ReadTextFile(const QString& path, QString& text)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    text = DecodeWindows1252(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return true;
}

bool WriteTextFile(const QString& path, const QString& text)
{
    QString lines = text;
    lines.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    const std::string bytes = EncodeWindows1252(lines);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const qint64 size = static_cast<qint64>(bytes.size());
    return file.write(bytes.data(), size) == size && file.commit();
}

} // namespace velmora
