#include "files/TextFile.h"

#include <cstring>

namespace velmora {

namespace {

constexpr std::size_t kBlockBytes = 64 * 1024;
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

} // namespace

TextReader::TextReader(const std::filesystem::path& path) : buffer_(kBlockBytes)
{
    // A directory opens like an empty file on some systems; it is no source.
    std::error_code error;
    if (!std::filesystem::is_directory(path, error)) {
        file_.open(path, std::ios::in | std::ios::binary);
    }
}

bool TextReader::Fill()
{
    if (!file_.is_open()) {
        return false;
    }
    begin_ = 0;
    end_ = static_cast<std::size_t>(file_.sgetn(buffer_.data(), static_cast<std::streamsize>(buffer_.size())));
    if (!started_) {
        started_ = true;
        if (std::string_view(buffer_.data(), end_).starts_with(kUtf8Bom)) {
            begin_ = kUtf8Bom.size();
        }
    }
    return begin_ < end_;
}

bool TextReader::ReadLine(std::string& line)
{
    line.clear();
    bool any = false;
    while (begin_ < end_ || Fill()) {
        any = true;
        const char* first = buffer_.data() + begin_;
        const std::size_t available = end_ - begin_;
        const auto* newline = static_cast<const char*>(std::memchr(first, '\n', available));
        if (newline == nullptr) {
            line.append(first, available);
            begin_ = end_;
            continue;
        }
        line.append(first, static_cast<std::size_t>(newline - first));
        begin_ += static_cast<std::size_t>(newline - first) + 1;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        ++lineNumber_;
        return true;
    }
    // A file that ends in CR without the LF.
    if (any && !line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    if (any) {
        ++lineNumber_;
    }
    return any;
}

TextWriter::TextWriter(const std::filesystem::path& path, Mode mode)
{
    const auto openMode = mode == Mode::Append ? std::ios::app : std::ios::trunc;
    ok_ = file_.open(path, std::ios::out | openMode | std::ios::binary) != nullptr;
    buffer_.reserve(kBlockBytes);
}

TextWriter::~TextWriter()
{
    if (file_.is_open()) {
        Close();
    }
}

void TextWriter::Flush()
{
    if (ok_ && !buffer_.empty()) {
        const auto bytes = static_cast<std::streamsize>(buffer_.size());
        ok_ = file_.sputn(buffer_.data(), bytes) == bytes;
    }
    buffer_.clear();
}

void TextWriter::Write(std::string_view text)
{
    buffer_.append(text);
    if (buffer_.size() >= kBlockBytes) {
        Flush();
    }
}

bool TextWriter::Close()
{
    Flush();
    if (file_.is_open() && file_.close() == nullptr) {
        ok_ = false;
    }
    return ok_;
}

} // namespace velmora
