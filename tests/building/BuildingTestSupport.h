// A scratch work folder per test, the model-building source fixtures, the message of a fatal
// step, and a reader of the drawings the steps write (entities with their layer and groups).
#pragma once

#include "building/BuildRun.h"
#include "files/FatalError.h"
#include "support/PointFiles.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace velmora::test {

inline std::filesystem::path FixturePath(const std::string& name)
{
    return std::filesystem::path(VELMORA_BUILDING_FIXTURES_DIR) / name;
}

// The fatal message of an action, or "" when it finishes.
inline std::string MessageOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const FatalError& e) {
        return e.what();
    }
    return "";
}

// Carriage return and line feed after every line of text written with "\n".
inline std::string Crlf(std::string_view text)
{
    std::string out;
    for (const char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

inline void StartRun(BuildRun& run, const std::filesystem::path& workDir, const std::filesystem::path& source,
                     char kind = 'P', char code = kPlaneWithoutRegressionCode)
{
    run.sourcePath = source;
    run.workDir = workDir;
    run.kind = kind;
    run.transformationCode = code;
}

struct DxfEntity {
    std::string type;
    std::string layer;
    std::vector<std::pair<std::string, std::string>> groups; // code (trimmed), value, after the type

    double Number(const std::string& code) const
    {
        for (const auto& [c, v] : groups) {
            if (c == code)
                return std::stod(v);
        }
        ADD_FAILURE() << "no group " << code << " in " << type;
        return 0.0;
    }
};

// The entities between "ENTITIES" and the section's end.
inline std::vector<DxfEntity> ReadDxfEntities(const std::filesystem::path& path)
{
    const std::string text = ReadBytes(path);
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "a drawing line without CR LF";
        if (end == std::string::npos)
            break;
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    std::vector<DxfEntity> entities;
    bool inEntities = false;
    for (std::size_t i = 0; i + 1 < lines.size(); i += 2) {
        const std::string code = lines[i].substr(lines[i].find_first_not_of(' '));
        const std::string& value = lines[i + 1];
        if (!inEntities) {
            inEntities = code == "2" && value == "ENTITIES";
            continue;
        }
        if (code == "0") {
            if (value == "ENDSEC")
                break;
            entities.push_back({value, "", {}});
        } else if (!entities.empty()) {
            if (code == "8")
                entities.back().layer = value;
            entities.back().groups.emplace_back(code, value);
        }
    }
    return entities;
}

inline std::map<std::string, int> CountByLayer(const std::vector<DxfEntity>& entities)
{
    std::map<std::string, int> counts;
    for (const DxfEntity& entity : entities)
        ++counts[entity.layer];
    return counts;
}

} // namespace velmora::test
