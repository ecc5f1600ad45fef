#include "files/TextFile.h"

#include <cstring>

namespace velmora {

namespace {

constexpr std::size_t kBlockBytes = 64 * 1024;
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

} // namespace

TextReader::TextReader(const std::filesystem::path& path)
    : path_(path), file_(FileHandle::Open(path, FileHandle::Mode::Read)), buffer_(kBlockBytes)
{
}

bool TextReader::Fill()
{
    if (!file_) {
        return false;
    }
    begin_ = 0;
    // A read the system refuses ends the text like the end of the file.
    end_ = file_->Read(buffer_.data(), buffer_.size()).value_or(0);
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
    : file_(FileHandle::Open(path, mode == Mode::Append ? FileHandle::Mode::Append : FileHandle::Mode::Replace)),
      ok_(file_.has_value())
{
    buffer_.reserve(kBlockBytes);
}

TextWriter::~TextWriter()
{
    if (file_) {
        Close();
    }
}

void TextWriter::Flush()
{
    if (ok_ && !buffer_.empty()) {
        ok_ = file_->Write(buffer_.data(), buffer_.size());
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
    if (file_ && !file_->Close()) {
        ok_ = false;
    }
    file_.reset();
    return ok_;
}

} // namespace velmora
