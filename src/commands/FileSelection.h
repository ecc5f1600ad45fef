// The checks behind the OK button of the file selection dialog: the source must be readable,
// the result name writable and different from the source, and the data files of the model
// commands present.
#pragma once

#include "commands/CommandContext.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

inline constexpr const char* kMessageSameFile = "Nume fisier intrare identic cu nume fisier iesire!";
inline constexpr const char* kMessageBadParameters = "Fisier cu parametri lipsa sau invalid !";
inline constexpr const char* kMessageBadGrid = "Fisier grid lipsa sau invalid!";
inline constexpr const char* kMessageBadSource = "Fisier de intrare invalid!";
inline constexpr const char* kMessageBadResult = "Nume fisier cu rezultate invalid!";

// Gives the result name the extension ".txt", then checks the choice. Returns the message to show
// (the dialog stays open) or std::nullopt, in which case ctx.dialogConfirmed is set. Nothing on
// disk changes: an existing result file is kept until a new result replaces it.
std::optional<std::string> ValidateFileSelection(CommandContext& ctx);

// True when the two names denote the same file, however they are spelt.
bool SameFile(const std::string& a, const std::string& b);

// True when a command working in workDir, which also writes the files listed in written, would
// write over, rename or remove source: when source is one of the work files of the source parsers
// in workDir or one of those files, however the name is spelt. Such a choice is refused like the same file
// twice (kMessageSameFile).
bool SourceWouldBeWritten(const std::filesystem::path& source, const std::filesystem::path& workDir,
                          const std::vector<std::filesystem::path>& written = {});

// True when the file exists, can be opened and holds a whole, non-zero number of records.
bool IsRecordFile(const std::filesystem::path& path, std::uintmax_t recordSize);

// True when a file of that name can be written without destroying what it holds now.
bool CanWriteFile(const std::filesystem::path& path);

// True when the transformation code is one of the dispatcher's batch commands, whose data
// files the dialog does not check.
bool IsDispatcherCode(char code);

} // namespace velmora
