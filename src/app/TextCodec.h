// Text as the program's files hold it: single bytes of the Windows-1252 code page with CR LF line
// ends. The editor reads and writes files in that form, so that a source file edited here stays
// valid for the parsers, and the windows show the library's byte strings through it.
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace velmora {

QString DecodeWindows1252(std::string_view bytes);
// Characters the code page has no byte for are written as '?' and counted in lost.
std::string EncodeWindows1252(const QString& text, int* lost = nullptr);

// A message of the library: its texts are Windows-1252 (point names from the files), its paths
// UTF-8; valid UTF-8 is taken as such, anything else as Windows-1252.
QString TextFromBytes(std::string_view bytes);

// A text file as the editor shows it: decoded, every CR LF and lone CR read as a line end.
bool ReadTextFile(const QString& path, QString& text);
// Writes the text with CR LF line ends, replacing the file only once it is written whole.
bool WriteTextFile(const QString& path, const QString& text);

} // namespace velmora
