#include "DxfScene.h"

#include "files/NumberText.h"

#include <charconv>
#include <stdexcept>

namespace velmora::picture {
namespace {

std::string Trimmed(const std::string& line)
{
    const auto first = line.find_first_not_of(" \t\r");
    const auto last = line.find_last_not_of(" \t\r");
    return first == std::string::npos ? std::string() : line.substr(first, last - first + 1);
}

double Number(const std::string& text)
{
    double value = 0.0;
    if (!ParseDecimal(text, value))
        throw std::runtime_error("not a number in the drawing: \"" + text + "\"");
    return value;
}

// What the group codes of an entity set: the layer, two points, a size, a text and its angle.
void SetField(DxfEntity& e, int code, const std::string& value)
{
    switch (code) {
    case 8: e.layer = value; break;
    case 10: e.x1 = Number(value); break;
    case 20: e.y1 = Number(value); break;
    case 11: e.x2 = Number(value); break;
    case 21: e.y2 = Number(value); break;
    case 40: e.size = Number(value); break;
    case 50: e.angle = Number(value); break;
    case 1: e.text = value; break;
    default: break;
    }
}

bool EntityKind(const std::string& name, DxfEntity::Kind& kind)
{
    static const std::map<std::string, DxfEntity::Kind> kKinds = {{"LINE", DxfEntity::Kind::Line},
                                                                  {"POINT", DxfEntity::Kind::Point},
                                                                  {"CIRCLE", DxfEntity::Kind::Circle},
                                                                  {"TEXT", DxfEntity::Kind::Text}};
    const auto found = kKinds.find(name);
    if (found == kKinds.end())
        return false;
    kind = found->second;
    return true;
}

// The reader's place in the file: the section, and the record (layer or entity) being read.
struct ReaderState {
    std::string section;
    bool expectSectionName = false;
    enum class Record { None, Layer, Entity } record = Record::None;
    std::string layerName;
    int layerColour = 7;
    DxfEntity entity;

    void Finish(DxfScene& scene)
    {
        if (record == Record::Layer && !layerName.empty())
            scene.layerColours[layerName] = layerColour;
        if (record == Record::Entity)
            scene.entities.push_back(entity);
        record = Record::None;
    }

    void Start(const std::string& name)
    {
        if (name == "SECTION") {
            expectSectionName = true;
        } else if (name == "ENDSEC") {
            section.clear();
        } else if (section == "TABLES" && name == "LAYER") {
            record = Record::Layer;
            layerName.clear();
            layerColour = 7;
        } else if (DxfEntity::Kind kind{}; section == "ENTITIES" && EntityKind(name, kind)) {
            record = Record::Entity;
            entity = DxfEntity{};
            entity.kind = kind;
        }
    }

    void Field(int code, const std::string& value)
    {
        if (code == 2 && expectSectionName) {
            section = value;
            expectSectionName = false;
        } else if (record == Record::Layer && code == 2) {
            layerName = value;
        } else if (record == Record::Layer && code == 62) {
            layerColour = static_cast<int>(Number(value));
        } else if (record == Record::Entity) {
            SetField(entity, code, value);
        }
    }
};

} // namespace

DxfScene ReadDxf(std::istream& in)
{
    DxfScene scene;
    ReaderState state;
    std::string codeLine;
    std::string valueLine;
    while (std::getline(in, codeLine)) {
        const std::string codeText = Trimmed(codeLine);
        int code = 0;
        const auto [end, ec] = std::from_chars(codeText.data(), codeText.data() + codeText.size(), code);
        if (ec != std::errc() || end != codeText.data() + codeText.size())
            throw std::runtime_error("not a group code in the drawing: \"" + codeText + "\"");
        if (!std::getline(in, valueLine))
            throw std::runtime_error("the drawing ends after group code " + codeText);
        const std::string value = Trimmed(valueLine);
        if (code == 0) {
            state.Finish(scene);
            state.Start(value);
        } else {
            state.Field(code, value);
        }
    }
    state.Finish(scene);
    return scene;
}

void ExaggerateArrows(DxfScene& scene, const std::string& layer, double factor)
{
    std::vector<DxfEntity*> lines;
    for (DxfEntity& e : scene.entities)
        if (e.layer == layer && e.kind == DxfEntity::Kind::Line)
            lines.push_back(&e);
    if (lines.size() % 3 != 0)
        throw std::runtime_error("the lines of layer " + layer + " are not arrows of three lines");
    for (std::size_t k = 0; k < lines.size(); k += 3) {
        const double ax = lines[k]->x1;
        const double ay = lines[k]->y1;
        for (std::size_t j = k; j < k + 3; ++j) {
            DxfEntity& line = *lines[j];
            line.x1 = ax + factor * (line.x1 - ax);
            line.y1 = ay + factor * (line.y1 - ay);
            line.x2 = ax + factor * (line.x2 - ax);
            line.y2 = ay + factor * (line.y2 - ay);
        }
    }
}

} // namespace velmora::picture
